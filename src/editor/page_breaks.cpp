#include "editor/page_breaks.h"

#include "document/page_file.h"

#include <QTextBlock>
#include <QTextDocument>

namespace vellumo {

namespace {

// Only the lines whose break is not the page's usual kind carry one.
class LineBreakData final : public QTextBlockUserData {
public:
    explicit LineBreakData(char kind)
        : kind(kind) {}
    const char kind;
};

} // namespace

void applyLineBreakKinds(QTextDocument *document, const QByteArray &kinds) {
    if (kinds.isEmpty())
        return;
    qsizetype line = 0;
    for (QTextBlock block = document->begin(); block.isValid() && line < kinds.size();
         block = block.next(), ++line) {
        if (kinds.at(line) != Usual)
            block.setUserData(new LineBreakData(kinds.at(line)));
    }
}

void clearLineBreakKinds(QTextDocument *document) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (block.userData() != nullptr)
            block.setUserData(nullptr);
}

char lineBreakKindOf(const QTextBlock &block) {
    const auto *data = static_cast<const LineBreakData *>(block.userData());
    return data != nullptr ? data->kind : static_cast<char>(Usual);
}

QByteArray lineBreakKinds(const QTextDocument *document) {
    QByteArray kinds;
    bool tagged = false;
    // The last block has no break after it.
    for (QTextBlock block = document->begin(); block.isValid() && block.next().isValid();
         block = block.next()) {
        const char kind = lineBreakKindOf(block);
        kinds.append(kind);
        tagged = tagged || kind != Usual;
    }
    return tagged ? kinds : QByteArray();
}

} // namespace vellumo
