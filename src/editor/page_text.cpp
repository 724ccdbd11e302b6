#include "editor/page_text.h"

#include <QTextDocument>

namespace vellumo {

QString withLineFeeds(QString editorText) {
    editorText.replace(QChar::ParagraphSeparator, u'\n');
    return editorText;
}

QString pageTextOf(const QTextDocument &document) {
    return withLineFeeds(document.toRawText());
}

} // namespace vellumo
