#include "editor/page_colouring.h"

#include <QTextDocument>

#include <algorithm>

namespace vellumo {

namespace {

// Lines lexed at once after an edit before the rest is left until it is drawn:
// opening a comment at the top of a long page does not lex the page in one key.
constexpr int EagerLineBudget = 2000;

HtmlLexState endState(const QTextBlock &block) {
    return HtmlLexState::unpack(block.userState());
}

// What a document carries from its page's reading to its colouring.
class LineStates : public QObject {
public:
    LineStates(QTextDocument *document, std::vector<int> states)
        : QObject(document)
        , states(std::move(states))
        , revision(document->revision()) {
        setObjectName(QLatin1String(ObjectName));
    }
    static constexpr char ObjectName[] = "vellumo_line_states";
    std::vector<int> states;
    int revision; // of the document they describe
};

} // namespace

std::vector<int> lineEndStates(QStringView pageText) {
    std::vector<int> states;
    HtmlLexState state;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = pageText.indexOf(u'\n', start);
        const QStringView line = pageText.sliced(start, (end < 0 ? pageText.size() : end) - start);
        state = lexHtmlLine(line, state, nullptr);
        states.push_back(state.pack());
        if (end < 0)
            return states;
        start = end + 1;
    }
}

void attachLineStates(QTextDocument *document, std::vector<int> states) {
    new LineStates(document, std::move(states));
}

PageColouring::PageColouring(QObject *parent)
    : QObject(parent) {
}

void PageColouring::setDocument(QTextDocument *document) {
    if (m_document)
        disconnect(m_contentsConnection);
    m_document = document;
    m_knownBlocks = 0;
    m_cache.clear();
    m_longLines.clear();
    m_pageStates = {};
    if (document == nullptr)
        return;
    m_blockCount = document->blockCount();
    // A page split into more lines than its text has '\n' (a paragraph separator in
    // it), or edited since, would take the wrong states: those are left for lexing.
    if (auto *carried = document->findChild<LineStates *>(QLatin1String(LineStates::ObjectName),
                                                          Qt::FindDirectChildrenOnly)) {
        if (carried->states.size() == static_cast<std::size_t>(m_blockCount) &&
            carried->revision == document->revision())
            m_pageStates = std::move(carried->states);
        delete carried;
    }
    m_contentsConnection =
        connect(document, &QTextDocument::contentsChange, this, &PageColouring::contentsChange);
}

QColor PageColouring::colour(HtmlTokenKind kind) {
    switch (kind) {
    case HtmlTokenKind::TagDelimiter:
    case HtmlTokenKind::TagName:
        return QColor(0, 0, 160);
    case HtmlTokenKind::AttributeName:
        return QColor(150, 60, 0);
    case HtmlTokenKind::AttributeValue:
    case HtmlTokenKind::StyleValue:
        return QColor(0, 115, 0);
    case HtmlTokenKind::CharacterReference:
        return QColor(170, 0, 85);
    case HtmlTokenKind::Comment:
    case HtmlTokenKind::ScriptComment:
    case HtmlTokenKind::StyleComment:
        return QColor(128, 128, 128); // the maker comment's grey
    case HtmlTokenKind::Doctype:
    case HtmlTokenKind::StyleAtRule:
        return QColor(120, 0, 120);
    case HtmlTokenKind::ScriptKeyword:
        return QColor(0, 80, 210);
    case HtmlTokenKind::ScriptString:
    case HtmlTokenKind::StyleString:
        return QColor(165, 20, 20);
    case HtmlTokenKind::ScriptTemplate:
        return QColor(160, 40, 120);
    case HtmlTokenKind::ScriptNumber:
        return QColor(0, 125, 125);
    case HtmlTokenKind::ScriptRegex:
        return QColor(135, 75, 0);
    case HtmlTokenKind::StyleSelector:
        return QColor(128, 0, 0);
    case HtmlTokenKind::StyleProperty:
        return QColor(0, 90, 165);
    case HtmlTokenKind::Text:
    case HtmlTokenKind::TagSpace:
    case HtmlTokenKind::ScriptText:
    case HtmlTokenKind::StyleText:
        break;
    }
    return QColor();
}

HtmlLexState PageColouring::stateBefore(const QTextBlock &block) {
    const int number = block.blockNumber();
    if (number <= 0)
        return HtmlLexState{};
    lexBlocksBefore(number);
    return endState(block.previous());
}

void PageColouring::lexBlocksBefore(int count) {
    if (m_document == nullptr || count <= m_knownBlocks)
        return;
    QTextBlock block = m_document->findBlockByNumber(m_knownBlocks);
    // The lines whose states came with the page only take them.
    const int carried = std::min(count, static_cast<int>(m_pageStates.size()));
    for (; block.isValid() && m_knownBlocks < carried; block = block.next())
        block.setUserState(m_pageStates[static_cast<std::size_t>(m_knownBlocks++)]);
    if (m_knownBlocks >= static_cast<int>(m_pageStates.size()))
        m_pageStates = {};
    if (!block.isValid() || m_knownBlocks >= count)
        return;
    HtmlLexState state = m_knownBlocks == 0 ? HtmlLexState{} : endState(block.previous());
    // Line by line, each through its own text(): measured a third cheaper than taking a
    // megabyte of lines at once through a selection, whose text Qt gathers fragment by
    // fragment looking up each one's position.
    while (block.isValid() && m_knownBlocks < count) {
        state = lexHtmlLine(block.text(), state, nullptr);
        block.setUserState(state.pack());
        ++m_linesLexed;
        ++m_knownBlocks;
        block = block.next();
    }
}

const QList<HtmlTokenSpan> &PageColouring::spans(const QTextBlock &block) {
    const HtmlLexState start = stateBefore(block);
    for (qsizetype i = 0; i < m_cache.size(); ++i) {
        const CachedSpans &entry = m_cache.at(i);
        if (entry.block == block && entry.revision == block.revision() &&
            entry.length == block.length() && entry.startState == start.pack()) {
            m_cache.move(i, m_cache.size() - 1);
            return m_cache.last().spans;
        }
    }
    if (m_cache.size() >= CachedBlocks)
        m_cache.removeFirst();
    CachedSpans entry{block, block.revision(), block.length(), start.pack(), {}};
    const HtmlLexState end = lexHtmlLine(block.text(), start, &entry.spans);
    ++m_linesLexed;
    recordEnd(block, end);
    m_cache.append(std::move(entry));
    return m_cache.last().spans;
}

void PageColouring::recordEnd(const QTextBlock &block, HtmlLexState end) {
    QTextBlock(block).setUserState(end.pack());
    if (block.blockNumber() == m_knownBlocks)
        ++m_knownBlocks;
}

QList<HtmlTokenSpan> PageColouring::tokens(const QTextBlock &block, int from, int to) {
    if (block.length() <= LongLineLength)
        return spans(block);
    // The part on screen, lexed from the place before it.
    const QString text = block.text();
    const LongLine &line = longLine(block, text, stateBefore(block));
    auto place =
        std::upper_bound(line.places.cbegin(), line.places.cend(), from,
                         [](int position, const HtmlLexPoint &p) { return position < p.position; });
    QList<HtmlTokenSpan> part;
    lexHtmlLinePart(text, *(place - 1), to, &part);
    recordEnd(block, line.end);
    return part;
}

HtmlLexPoint PageColouring::placeBefore(const QTextBlock &block, int offset) {
    if (block.length() <= LongLineLength)
        return HtmlLexPoint{0, stateBefore(block)};
    const LongLine &line = longLine(block, block.text(), stateBefore(block));
    auto place =
        std::upper_bound(line.places.cbegin(), line.places.cend(), offset,
                         [](int position, const HtmlLexPoint &p) { return position < p.position; });
    return *(place - 1);
}

HtmlLexState PageColouring::stateBeforeLine(int line) {
    return m_document != nullptr ? stateBefore(m_document->findBlockByNumber(line))
                                 : HtmlLexState{};
}

HtmlLexPoint PageColouring::placeBeforeLine(int line, int offset) {
    return m_document != nullptr ? placeBefore(m_document->findBlockByNumber(line), offset)
                                 : HtmlLexPoint{};
}

QList<QTextLayout::FormatRange> PageColouring::formatRanges(const QTextBlock &block, int from,
                                                            int to, const QBrush &background) {
    const QList<HtmlTokenSpan> part = tokens(block, from, to);
    const QList<HtmlTokenSpan> *tokens = &part;
    QList<QTextLayout::FormatRange> ranges;
    for (const HtmlTokenSpan &span : *tokens) {
        if (span.start + span.length <= from)
            continue;
        if (span.start >= to)
            break;
        const QColor colour = PageColouring::colour(span.kind);
        if (!colour.isValid())
            continue;
        QTextLayout::FormatRange range;
        range.start = span.start;
        range.length = span.length;
        range.format.setForeground(colour);
        range.format.setBackground(background);
        ranges.append(range);
    }
    return ranges;
}

PageColouring::LongLine &PageColouring::longLine(const QTextBlock &block, const QString &text,
                                                 HtmlLexState start) {
    for (auto it = m_longLines.begin(); it != m_longLines.end(); ++it) {
        if (it->block == block && it->revision == block.revision() &&
            it->startState == start.pack()) {
            std::rotate(it, it + 1, m_longLines.end());
            return m_longLines.back();
        }
    }
    if (m_longLines.size() >= LongLinesKept)
        m_longLines.erase(m_longLines.begin());
    LongLine line{block, block.revision(), start.pack(), {}, {}};
    HtmlLexPoint place{0, start};
    line.places.append(place);
    while (place.position <= text.size()) {
        place = lexHtmlLinePart(text, place, place.position + PlaceInterval, nullptr);
        if (place.position <= text.size())
            line.places.append(place);
    }
    line.end = place.state;
    ++m_linesLexed;
    m_longLines.push_back(std::move(line));
    return m_longLines.back();
}

HtmlLexState PageColouring::lexBlock(const QTextBlock &block, HtmlLexState start,
                                     const LineEdit *edit) {
    if (block.length() <= LongLineLength) {
        ++m_linesLexed;
        return lexHtmlLine(block.text(), start, nullptr);
    }
    const QString text = block.text();
    auto known = std::find_if(m_longLines.begin(), m_longLines.end(), [&](const LongLine &line) {
        return line.block == block && line.startState == start.pack();
    });
    if (edit == nullptr || known == m_longLines.end()) {
        if (known != m_longLines.end())
            m_longLines.erase(known);
        return longLine(block, text, start).end;
    }
    ++m_linesLexed;
    // The places before the edit hold; the lexer looks this far ahead of a place.
    constexpr int LookAhead = 16;
    LongLine &line = *known;
    const QList<HtmlLexPoint> &was = line.places;
    const int shift = edit->added - edit->removed;
    QList<HtmlLexPoint> places;
    qsizetype old = 0;
    while (old < was.size() && was.at(old).position + LookAhead <= edit->offset)
        places.append(was.at(old++));
    if (places.isEmpty())
        places.append(HtmlLexPoint{0, start});
    // Lexing on from the last place before the edit, until it meets a place after
    // the edit in the state it had there: from then on the line lexes as before.
    while (old < was.size() && was.at(old).position < edit->offset + edit->removed + LookAhead)
        ++old;
    HtmlLexPoint place = places.last();
    bool met = false;
    while (place.position <= text.size()) {
        while (old < was.size() && was.at(old).position + shift < place.position)
            ++old;
        int until = place.position + PlaceInterval;
        if (old < was.size())
            until = std::min(until, was.at(old).position + shift);
        place = lexHtmlLinePart(text, place, std::max(until, place.position + 1), nullptr);
        if (old < was.size() && place.position == was.at(old).position + shift &&
            place.state == was.at(old).state) {
            for (; old < was.size(); ++old)
                places.append(HtmlLexPoint{was.at(old).position + shift, was.at(old).state});
            met = true;
            break;
        }
        if (place.position <= text.size())
            places.append(place);
    }
    line.places = std::move(places);
    line.revision = block.revision();
    if (!met)
        line.end = place.state;
    return line.end;
}

void PageColouring::contentsChange(int from, int charsRemoved, int charsAdded) {
    QTextDocument *document = m_document;
    const int blockCount = document->blockCount();
    const int added = blockCount - m_blockCount;
    m_blockCount = blockCount;
    const QTextBlock first = document->findBlock(from);
    const int firstNumber = first.blockNumber();
    // A change reaching the document's end (the whole text replaced) ends past its last position.
    const QTextBlock last = document->findBlock(from + charsAdded);
    const int lastNumber = last.isValid() ? last.blockNumber() : blockCount - 1;
    const bool oneLine = added == 0 && firstNumber == lastNumber;
    if (!oneLine)
        m_longLines.clear(); // their blocks may be gone or others now
    // The page's own states hold for the lines before the change only.
    if (static_cast<std::size_t>(std::max(firstNumber, 0)) < m_pageStates.size())
        m_pageStates.resize(static_cast<std::size_t>(std::max(firstNumber, 0)));
    if (firstNumber >= m_knownBlocks || !first.isValid())
        return;
    const LineEdit edit{from - first.position(), charsRemoved, charsAdded};
    // The blocks after the change kept their states; those it touched did not.
    if (m_knownBlocks + added <= lastNumber) {
        m_knownBlocks = firstNumber;
        return;
    }
    const int knownAfter = m_knownBlocks + added;
    m_knownBlocks = firstNumber;
    HtmlLexState state = stateBefore(first);
    int budget = EagerLineBudget;
    bool changedBelow = false;
    for (QTextBlock block = first; block.isValid() && m_knownBlocks < knownAfter;
         block = block.next()) {
        if (--budget < 0) {
            Q_EMIT linesBelowChanged();
            return;
        }
        const int before = block.userState();
        state = lexBlock(block, state, oneLine && block == first ? &edit : nullptr);
        block.setUserState(state.pack());
        ++m_knownBlocks;
        // From the change's last line on, a line that ends as it did leaves the lines
        // below as they were; one that ends otherwise starts the next one otherwise,
        // which then draws in other colours even where it ends as before.
        if (m_knownBlocks - 1 >= lastNumber) {
            if (state.pack() == before) {
                m_knownBlocks = knownAfter;
                break;
            }
            changedBelow = true;
        }
    }
    m_knownBlocks = std::min(m_knownBlocks, blockCount);
    if (changedBelow)
        Q_EMIT linesBelowChanged();
}

} // namespace vellumo
