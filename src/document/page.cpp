#include "document/page.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace vellumo {

namespace {

// A slice's share of the window's time: short enough that typing and painting go on.
constexpr qint64 SliceMs = 10;
// Edits spread over more of the page than this are not patched into the copy: it is
// taken again.
constexpr int MostEditedSpan = 1 << 20;

// A lone half of a surrogate pair becomes the replacement character, and where asked a
// paragraph separator a line break, in one pass.
void mend(char16_t *at, char16_t *const end, bool separatorsAreBreaks = false) {
    for (; at < end; ++at) {
        // Four characters at a time while all of them are below U+2000, under every
        // surrogate and the paragraph separator.
        while (end - at >= 4) {
            quint64 four = 0;
            std::memcpy(&four, at, sizeof four);
            if ((four & 0xE000'E000'E000'E000ULL) != 0)
                break;
            at += 4;
        }
        if (at == end)
            break;
        const char16_t c = *at;
        if (c == QChar::ParagraphSeparator && separatorsAreBreaks) {
            *at = u'\n';
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && at + 1 < end && (at[1] & 0xFC00) == 0xDC00)
                ++at;
            else
                *at = QChar::ReplacementCharacter;
        }
    }
}

QString mended(QString text) {
    auto *begin = reinterpret_cast<char16_t *>(text.data());
    mend(begin, begin + text.size());
    return text;
}

} // namespace

QString Page::readable(QString text, bool separatorsAreBreaks) {
    auto *begin = reinterpret_cast<char16_t *>(text.data());
    mend(begin, begin + text.size(), separatorsAreBreaks);
    return text;
}

MovingRange::MovingRange(Page &page, int start, int end, Edges edges)
    : m_edges(edges)
    , m_page(&page) {
    m_page->m_ranges.push_back(this);
    set(start, end);
}

MovingRange::~MovingRange() {
    if (m_page == nullptr)
        return;
    // Looked for from the back: the ranges made last are mostly the ones dropped
    // first, so a list of thousands goes at once.
    std::vector<MovingRange *> &ranges = m_page->m_ranges;
    const auto it = std::find(ranges.rbegin(), ranges.rend(), this);
    if (it != ranges.rend()) {
        *it = ranges.back();
        ranges.pop_back();
    }
}

void MovingRange::set(int start, int end) {
    const int last = m_page ? m_page->length() : 0;
    m_start = std::clamp(std::min(start, end), 0, last);
    m_end = std::clamp(std::max(start, end), 0, last);
}

void MovingRange::follow(int &start, int &end, int position, int removed, int added, Edges edges) {
    if (removed > 0) {
        const auto moved = [position, removed](int at) {
            return at < position ? at : at < position + removed ? position : at - removed;
        };
        start = moved(start);
        end = moved(end);
    }
    if (added > 0 && edges == Edges::Inside) {
        if (start > position)
            start += added;
        if (end >= position)
            end += added;
    } else if (added > 0) {
        const bool collapsed = start == end;
        if (start >= position)
            start += added;
        if (end > position || (end == position && collapsed))
            end += added;
    }
}

Page::Page(QObject *parent)
    : QObject(parent)
    , m_slices(new QTimer(this)) {
    m_slices->setSingleShot(true);
    m_slices->setInterval(0);
    connect(m_slices, &QTimer::timeout, this, &Page::readSlice);
}

Page::~Page() {
    for (MovingRange *range : m_ranges)
        range->m_page = nullptr;
}

QString Page::lineText(int line) const {
    const int start = lineStart(line);
    return text(start, start + lineLength(line));
}

void Page::noteEdit(int position, int removed, int added) {
    for (MovingRange *range : m_ranges)
        MovingRange::follow(range->m_start, range->m_end, position, removed, added, range->m_edges);
    // The change grows to take in this edit, as a span of today's page.
    if (!m_changing) {
        m_changing = true;
        m_change = PageChange{position, removed, added};
        m_changeEnd = position + added;
    } else {
        const int oldEnd = std::max(m_changeEnd, position + removed);
        m_change.removed += oldEnd - m_changeEnd + std::max(0, m_change.position - position);
        m_changeEnd = oldEnd + added - removed;
        m_change.position = std::min(m_change.position, position);
        m_change.added = m_changeEnd - m_change.position;
    }
    // A reading under way starts again from the top.
    if (m_reading) {
        m_partial.clear();
        m_nextLine = 0;
    }
    if (!m_copyCurrent)
        return;
    if (!m_edited) {
        m_edited = true;
        m_editedFrom = position;
        m_editedTo = position + added;
    } else {
        // The span grows to take in this edit; the characters between the two were
        // not edited, and those after both moved by what this edit added.
        m_editedTo = std::max(m_editedTo, position + removed) + added - removed;
        m_editedFrom = std::min(m_editedFrom, position);
    }
    if (m_editedTo - m_editedFrom > MostEditedSpan)
        dropCopy();
}

void Page::noteChangeDone() {
    if (!m_changing)
        return;
    m_changing = false;
    m_change.firstLine = lineAt(m_change.position);
    m_change.lastLine = lineAt(m_change.position + m_change.added);
    Q_EMIT changed(m_change);
}

void Page::noteReplaced() {
    for (MovingRange *range : m_ranges)
        range->m_start = range->m_end = 0;
    m_changing = false;
    dropCopy();
    if (m_reading) {
        m_partial.clear();
        m_nextLine = 0;
    }
    Q_EMIT replaced();
}

void Page::dropCopy() {
    m_copyCurrent = false;
    m_edited = false;
    m_copy = QString();
}

// Reads the edited span of the page into the copy; false when the copy cannot be
// mended that way and must be taken again.
bool Page::takeInEdits() {
    if (!m_edited)
        return true;
    m_edited = false;
    const int pageLength = length();
    // The span is read with a character more on each side, and a surrogate pair at
    // its edge whole, so each half is judged with its partner.
    int from = std::clamp(m_editedFrom - 1, 0, pageLength);
    int to = std::clamp(m_editedTo + 1, from, pageLength);
    if (from > 0 && characterAt(from).isLowSurrogate())
        --from;
    if (to < pageLength && characterAt(to - 1).isHighSurrogate())
        ++to;
    const qsizetype unchangedTail = pageLength - to;
    const qsizetype replacedTo = m_copy.size() - unchangedTail;
    if (replacedTo < from)
        return false;
    m_copy.replace(from, replacedTo - from, mended(text(from, to)));
    return true;
}

QString Page::snapshot() {
    if (m_copyCurrent && takeInEdits()) {
        QString copy = m_copy;
        if (m_holders == 0)
            dropCopy();
        return copy;
    }
    // Taking the whole page at once costs a third of reading it line by line, so a
    // reading in slices gives way to it.
    const bool wasReading = m_reading;
    m_slices->stop();
    m_reading = false;
    m_partial = QString();
    m_copy = QString(); // the old copy goes before the new one is made
    QString copy = wholeText();
    if (m_holders > 0) {
        m_copy = copy;
        m_copyCurrent = true;
        m_edited = false;
    }
    if (wasReading)
        Q_EMIT snapshotReady();
    return copy;
}

void Page::prepareSnapshot(int atOnceUpTo) {
    if (!m_copyCurrent && length() <= atOnceUpTo) {
        // A small page is copied at once; the copy waits for snapshot().
        m_copy = wholeText();
        m_copyCurrent = true;
        m_edited = false;
    }
    if (m_copyCurrent) {
        Q_EMIT snapshotReady();
        return;
    }
    if (m_reading)
        return;
    m_partial.clear();
    m_partial.reserve(length());
    m_nextLine = 0;
    m_reading = true;
    m_slices->start();
}

int Page::appendLines(QString &into, int line, const std::function<bool()> &timeUp) const {
    const int lines = lineCount();
    while (line < lines) {
        into += lineText(line);
        if (++line < lines)
            into += u'\n';
        if (line % 512 == 0 && timeUp())
            break;
    }
    return line;
}

void Page::readSlice() {
    QElapsedTimer clock;
    clock.start();
    // A surrogate pair never spans a line break, so the lines read are mended on their own.
    const qsizetype from = m_partial.size();
    m_nextLine =
        appendLines(m_partial, m_nextLine, [&clock] { return clock.elapsed() >= SliceMs; });
    auto *begin = reinterpret_cast<char16_t *>(m_partial.data());
    mend(begin + from, begin + m_partial.size());
    if (m_nextLine < lineCount()) {
        m_slices->start();
        return;
    }
    m_reading = false;
    m_copy = std::move(m_partial);
    m_partial = QString();
    m_copyCurrent = true;
    m_edited = false;
    Q_EMIT snapshotReady();
}

void Page::holdSnapshot() {
    ++m_holders;
}

void Page::releaseSnapshot() {
    if (m_holders > 0 && --m_holders > 0)
        return;
    m_slices->stop();
    m_reading = false;
    m_partial = QString();
    dropCopy();
}

} // namespace vellumo
