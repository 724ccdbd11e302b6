#include "editor/page_loader.h"

#include "editor/page_colouring.h"
#include "editor/page_layout.h"
#include "widgets/long_command.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <atomic>
#include <thread>

namespace vellumo {

namespace {

// Where a slice ending at `end` may start: never inside a surrogate pair or a
// CR LF, so that each piece is whole text.
qsizetype sliceStart(const QString &text, qsizetype end, qsizetype sliceSize) {
    qsizetype start = std::max<qsizetype>(0, end - std::max<qsizetype>(1, sliceSize));
    while (start > 0 &&
           ((text.at(start).isLowSurrogate() && text.at(start - 1).isHighSurrogate()) ||
            (text.at(start) == u'\n' && text.at(start - 1) == u'\r')))
        --start;
    return start;
}

const char StagingName[] = "vellumo_page_staging";

// A hidden view that shows the page from its first, empty moment until the editor
// takes it over. A plain-text layout re-creates the line layout of every block
// whenever the view it belongs to hands it a width, and the editor hands one to
// every document it is given: on a page of 800,000 lines that is a fifth of a
// second and a couple of hundred megabytes of layouts, for lines nobody looks at.
// A document that already belongs to a view, at the editor's width, keeps its
// blocks unlaid until they are shown.
//
// It is made before the document's layout and so goes before it when a document
// that was never shown is deleted, while the layout it points to is still there.
class StagingView : public QObject {
public:
    explicit StagingView(QTextDocument *document)
        : QObject(document) {
        setObjectName(QLatin1String(StagingName));
    }

    void take(QTextDocument *document, const QTextDocument &like) {
        const QTextOption::WrapMode wrap = like.defaultTextOption().wrapMode();
        m_view.setLineWrapMode(wrap == QTextOption::NoWrap ? QPlainTextEdit::NoWrap
                                                           : QPlainTextEdit::WidgetWidth);
        if (wrap != QTextOption::NoWrap)
            m_view.setWordWrapMode(wrap);
        // The page layout's frame is exactly the width its editor wraps at; a view
        // gives a document its own width, so this one is made as wide.
        if (qobject_cast<PageDocumentLayout *>(like.documentLayout()) != nullptr)
            m_view.viewport()->resize(
                qRound(like.documentLayout()->frameBoundingRect(nullptr).width()),
                m_view.viewport()->height());
        m_view.setDocument(document);
    }

    static void release(QTextDocument *document) {
        delete document->findChild<QObject *>(QLatin1String(StagingName),
                                              Qt::FindDirectChildrenOnly);
    }

private:
    QPlainTextEdit m_view;
};

} // namespace

PageRead readPageFile(const QString &path, std::optional<TextEncoding> encoding) {
    PageRead read;
    QByteArray bytes;
    read.reason = readWholeFile(path, &bytes);
    if (!read.reason.isEmpty())
        return read;
    read.binaryKind = binaryFileKind(bytes);
    if (!read.binaryKind.isEmpty())
        return read;
    read.page = encoding ? decodePageAs(bytes, *encoding) : decodePage(bytes);
    read.fingerprint = fingerprintOf(bytes, read.page);
    read.asciiOnly = isAsciiOnly(read.page.text);
    return read; // the bytes go here, before the document is filled
}

bool isAsciiOnly(QStringView text) {
    // No early way out: the loop stays simple enough to run many characters a step.
    char16_t seen = 0;
    for (const QChar c : text)
        seen |= c.unicode();
    return seen <= 0x7F;
}

std::optional<PageRead> readPageFileAside(const QString &path,
                                          const std::function<bool()> &whileWaiting,
                                          std::optional<TextEncoding> encoding) {
    PageRead read;
    if (!runAside([&](const std::atomic_bool &) { read = readPageFile(path, encoding); },
                  whileWaiting))
        return std::nullopt;
    return read;
}

std::unique_ptr<QTextDocument> buildPageDocument(QString &&text, const QTextDocument &like,
                                                 const PageFill &fill) {
    auto document = std::make_unique<QTextDocument>();
    auto *staging = new StagingView(document.get());
    document->setDocumentLayout(new PageDocumentLayout(document.get()));
    // The page gets the editor's width from the start, while that costs nothing;
    // attachPageDocument settles it if the editor changed meanwhile.
    staging->take(document.get(), like);
    // Nothing of the loading is ever undone; recording it would hold the page twice.
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(like.defaultFont());
    document->setDocumentMargin(like.documentMargin());
    document->setDefaultTextOption(like.defaultTextOption());
    document->setUseDesignMetrics(like.useDesignMetrics());

    // The lines' states are lexed from the text on a thread of their own while the
    // first slices go in (the lexer is many times faster than the document); the
    // text is only read meanwhile, and shrinks once the lexer is done with it.
    std::vector<int> states;
    std::atomic_bool lexed = !fill.lineStates;
    std::jthread lexer;
    if (fill.lineStates)
        lexer = std::jthread([&] {
            states = lineEndStates(text);
            lexed = true;
        });

    const qsizetype total = text.size();
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    // The slices go in from the last one to the first, each at the start of the
    // document, so the text they came from can shrink behind them: the decoded
    // page and the document never both hold the whole page.
    for (qsizetype end = total; end > 0;) {
        const qsizetype start = sliceStart(text, end, fill.sliceSize);
        // Not movePosition: that lays out the block the cursor is in.
        cursor.setPosition(0);
        cursor.insertText(QStringView(text).sliced(start, end - start).toString());
        if (lexed) {
            text.truncate(start);
            text.squeeze();
        }
        end = start;
        if (fill.betweenSlices && !fill.betweenSlices(total - end, total)) {
            StagingView::release(document.get());
            return nullptr; // the lexer is waited for as it goes
        }
    }
    cursor.endEditBlock();
    if (lexer.joinable()) {
        lexer.join();
        attachLineStates(document.get(), std::move(states));
    }
    text = QString();
    return document;
}

void attachPageDocument(QPlainTextEdit *editor, std::unique_ptr<QTextDocument> document) {
    QTextDocument *old = editor->document();
    // The editor's first document belongs to its text control, which deletes it
    // itself; the ones handed in here belong to the editor.
    const bool ownedHere = old->parent() == editor;
    QTextDocument *page = document.release();
    page->setParent(editor);
    editor->setDocument(page);
    const qreal builtFor = page->documentLayout()->frameBoundingRect(nullptr).width();
    StagingView::release(page);
    // The editor lays a page out again only when it is wider than the width the
    // page was built for. Narrower (the window shrank while the page went in):
    // the page layout takes the editor's width, and lays blocks out at it as
    // they are shown.
    if (builtFor != editor->viewport()->width())
        if (auto *layout = qobject_cast<PageDocumentLayout *>(page->documentLayout()))
            layout->setWrapWidth(editor->viewport()->width());
    if (ownedHere)
        delete old;
    page->setUndoRedoEnabled(true);
    page->setModified(false);
    // The editor repaints a new document only when it lays it out anew, which
    // this one does not need: without this the old page stays on the screen
    // until something else asks for a paint.
    editor->viewport()->update();
}

} // namespace vellumo
