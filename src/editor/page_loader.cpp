#include "editor/page_loader.h"

#include "editor/page_layout.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vellumo {

namespace {

// Where a slice ending at `end` may start: never inside a surrogate pair or a
// CR LF, so that each piece is whole text.
qsizetype sliceStart(const QString &text, qsizetype end, qsizetype sliceSize)
{
    qsizetype start = std::max<qsizetype>(0, end - std::max<qsizetype>(1, sliceSize));
    while (start > 0 && ((text.at(start).isLowSurrogate() && text.at(start - 1).isHighSurrogate()) ||
                         (text.at(start) == u'\n' && text.at(start - 1) == u'\r')))
        --start;
    return start;
}

} // namespace

std::unique_ptr<QTextDocument> buildPageDocument(QString &&text, const QTextDocument &like,
                                                 const PageFill &fill)
{
    auto document = std::make_unique<QTextDocument>();
    // Nothing of the loading is ever undone; recording it would hold the page twice.
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(like.defaultFont());
    document->setDocumentMargin(like.documentMargin());
    document->setDefaultTextOption(like.defaultTextOption());
    document->setUseDesignMetrics(like.useDesignMetrics());

    const qsizetype total = text.size();
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    // The slices go in from the last one to the first, each at the start of the
    // document, so the text they came from can shrink behind them: the decoded
    // page and the document never both hold the whole page.
    for (qsizetype end = total; end > 0;) {
        const qsizetype start = sliceStart(text, end, fill.sliceSize);
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(QStringView(text).sliced(start, end - start).toString());
        text.truncate(start);
        text.squeeze();
        end = start;
        if (fill.betweenSlices && !fill.betweenSlices(total - end, total))
            return nullptr;
    }
    cursor.endEditBlock();
    document->setDocumentLayout(new PageDocumentLayout(document.get()));
    return document;
}

void attachPageDocument(QPlainTextEdit *editor, std::unique_ptr<QTextDocument> document)
{
    QTextDocument *old = editor->document();
    // The editor's first document belongs to its text control, which deletes it
    // itself; the ones handed in here belong to the editor.
    const bool ownedHere = old->parent() == editor;
    QTextDocument *page = document.release();
    page->setParent(editor);
    editor->setDocument(page);
    if (ownedHere)
        delete old;
    page->setUndoRedoEnabled(true);
    page->setModified(false);
}

} // namespace vellumo
