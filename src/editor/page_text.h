#pragma once

#include <QString>

class QTextDocument;

namespace vellumo {

// Text taken out of the editor (its raw text, or a selection) with the paragraph
// separators that end its blocks turned into the page's line breaks, '\n'.
QString withLineFeeds(QString editorText);

// The page's text exactly as it stands: line breaks as '\n', non-breaking spaces
// kept (toPlainText() would turn them into plain spaces).
QString pageTextOf(const QTextDocument &document);

} // namespace vellumo
