#pragma once

#include "html/html_lexer.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>

#include <vector>

class QTextDocument;

namespace vellumo {

// The lexer's state (packed) at the end of every line of a page's text, its lines
// split at '\n' (a page is read with every line break made one). Worked out while a page is read,
// straight from the text, it spares the colouring reading every line back out of
// the document to lex it.
std::vector<int> lineEndStates(QStringView pageText);
// Hands `states` to the colouring that next follows `document`; they are taken only
// when they hold one state for each of its lines (another character that splits a
// document's line, a '\r' or a paragraph separator, leaves its page to be lexed).
void attachLineStates(QTextDocument *document, std::vector<int> states);

// The markup colours of the page as it is drawn. Nothing here touches the
// document's text or formats: the lexer's state at the end of every line is kept
// in the line's QTextBlock::userState (which travels with the line through edits
// and never reaches the undo stack or the modified flag), known for the first
// lines of the page up to a mark and lexed further only when a line further down
// is drawn. An edit lexes its lines again, and the lines after them only as long
// as their states come out different.
class PageColouring : public QObject {
    Q_OBJECT

public:
    explicit PageColouring(QObject *parent = nullptr);

    // Follows `document` from now on, knowing nothing of its lines yet.
    void setDocument(QTextDocument *document);
    QTextDocument *document() const { return m_document; }

    // The tokens of `block`, lexing the lines before it first where needed.
    const QList<HtmlTokenSpan> &spans(const QTextBlock &block);
    // The lexer's state at the start of `block`.
    HtmlLexState stateBefore(const QTextBlock &block);

    // Tokens covering at least the part [from, to) of `block`: all of a short
    // line, of a long one the part lexed from its place before `from`.
    QList<HtmlTokenSpan> tokens(const QTextBlock &block, int from, int to);
    // A place of `block`'s line at or before `offset` and the lexer's state
    // there: its start for a short line, the nearest known place of a long one.
    HtmlLexPoint placeBefore(const QTextBlock &block, int offset);
    // The same two for line `line` of the page (counted from 0), for the readers
    // that know the page by its lines and positions.
    HtmlLexState stateBeforeLine(int line);
    HtmlLexPoint placeBeforeLine(int line, int offset);

    // Colour ranges for the part [from, to) of `block`, for QTextLayout::draw,
    // drawn over `background`. QTextLayout skips a range with a text colour and no
    // background that touches one drawn before it (as two neighbouring tokens
    // do), so every range carries the background it is drawn on.
    QList<QTextLayout::FormatRange> formatRanges(const QTextBlock &block, int from, int to,
                                                 const QBrush &background);

    // The colour a kind of token is drawn in; invalid for the editor's own text colour.
    static QColor colour(HtmlTokenKind kind);

    // Lines lexed since this object was made (lexing from the page's start
    // counts every line it passes), and the lines whose state is known.
    qint64 linesLexed() const { return m_linesLexed; }
    int knownLines() const { return m_knownBlocks; }

Q_SIGNALS:
    // An edit changed the states of lines below the lines it touched (a comment
    // opened or closed): they are drawn in other colours now.
    void linesBelowChanged();

private:
    // A change inside one line: where, and how many characters went and came.
    struct LineEdit {
        int offset;
        int removed;
        int added;
    };
    // The state after `block`'s line, lexed from `start`; a long line is lexed
    // from its place nearest an edit in it.
    HtmlLexState lexBlock(const QTextBlock &block, HtmlLexState start, const LineEdit *edit);
    // Keeps the state after `block`, whose start state is known.
    void recordEnd(const QTextBlock &block, HtmlLexState end);
    struct LongLine;
    // The places of a long line, lexing it whole if they are not known.
    LongLine &longLine(const QTextBlock &block, const QString &text, HtmlLexState start);
    void contentsChange(int from, int charsRemoved, int charsAdded);
    // Makes the states of the first `count` blocks known.
    void lexBlocksBefore(int count);

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_contentsConnection;
    // The states that came with the page for its first lines, not yet in their blocks;
    // cut short at the first line an edit touches.
    std::vector<int> m_pageStates;
    // Blocks [0, m_knownBlocks) hold the state at their end in their userState.
    int m_knownBlocks = 0;
    int m_blockCount = 0;
    qint64 m_linesLexed = 0;

    // The tokens of the blocks drawn last, so the caret blinking on a long line
    // or a scroll by one line does not lex the lines on screen again.
    struct CachedSpans {
        QTextBlock block;
        int revision = 0;
        int length = 0;
        int startState = 0;
        QList<HtmlTokenSpan> spans;
    };
    static constexpr int CachedBlocks = 64;
    QList<CachedSpans> m_cache;

    // A long line's lexer states about every thousand characters, so a key typed
    // in it, or the part of it on screen, is lexed from the place before it
    // instead of from the line's start.
    struct LongLine {
        QTextBlock block;
        int revision = 0;
        int startState = 0;
        QList<HtmlLexPoint> places; // ascending, the first at 0
        HtmlLexState end;
    };
    static constexpr int LongLineLength = 4096;
    static constexpr int PlaceInterval = 1024;
    static constexpr std::size_t LongLinesKept = 16;
    std::vector<LongLine> m_longLines; // the last used at the back
};

} // namespace vellumo
