#include "editor/page_breaks.h"

#include "editor/page_file.h"

#include <QTextBlock>
#include <QTextDocument>

namespace vellumo {

void applyLineBreakKinds(QTextDocument *document, const QByteArray &kinds) {
    if (kinds.isEmpty())
        return;
    qsizetype line = 0;
    for (QTextBlock block = document->begin(); block.isValid() && line < kinds.size();
         block = block.next(), ++line) {
        if (kinds.at(line) != Usual)
            block.setUserState(static_cast<unsigned char>(kinds.at(line)));
    }
}

QByteArray lineBreakKinds(const QTextDocument *document) {
    QByteArray kinds;
    bool tagged = false;
    // The last block has no break after it.
    for (QTextBlock block = document->begin(); block.isValid() && block.next().isValid();
         block = block.next()) {
        const int state = block.userState();
        const bool known = state == BreakLF || state == BreakCRLF || state == BreakCR ||
                           state == BreakParagraph || state == BreakFrameStart ||
                           state == BreakFrameEnd;
        kinds.append(known ? static_cast<char>(state) : static_cast<char>(Usual));
        tagged = tagged || known;
    }
    return tagged ? kinds : QByteArray();
}

} // namespace vellumo
