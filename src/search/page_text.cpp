#include "search/page_text.h"

#include "search/text_search.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace vellumo {

namespace {

// A slice's share of the window's time: short enough that typing and painting go on.
constexpr qint64 SliceMs = 12;
// Edits spread over more of the page than this are not patched in: the page is taken again.
constexpr int MostEditedSpan = 1 << 20;

// Text taken from the editor as the search sees it, in one pass: paragraph
// separators become '\n' and a lone half of a surrogate pair the replacement character.
QString asSearched(QString text) {
    char16_t *at = reinterpret_cast<char16_t *>(text.data());
    char16_t *const end = at + text.size();
    for (; at < end; ++at) {
        // Four characters at a time while all of them are below U+2000, under the
        // separator (U+2029) and every surrogate.
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
        if (c == QChar::ParagraphSeparator) {
            *at = u'\n';
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && at + 1 < end && (at[1] & 0xFC00) == 0xDC00)
                ++at;
            else
                *at = QChar::ReplacementCharacter;
        }
    }
    return text;
}

} // namespace

PageText::PageText(QPlainTextEdit *editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_slices(new QTimer(this)) {
    m_slices->setSingleShot(true);
    m_slices->setInterval(0);
    connect(m_slices, &QTimer::timeout, this, [this] {
        follow(m_editor->document()); // the page may have been replaced meanwhile
        if (m_reading && readSlice(SliceMs))
            finish();
        else if (m_reading)
            m_slices->start();
    });
}

void PageText::follow(QTextDocument *document) {
    if (document == m_document)
        return;
    disconnect(m_watch);
    m_document = document;
    m_current = false;
    if (m_reading) {
        // Another page came while this one was being read: read that one instead.
        m_partial.clear();
        m_next = m_document->begin();
    }
    m_edited = false;
    m_watch = connect(document, &QTextDocument::contentsChange, this, &PageText::pageChanged);
}

void PageText::pageChanged(int position, int removed, int added) {
    // A reading under way starts again from the top.
    if (m_reading) {
        m_partial.clear();
        m_next = m_document->begin();
    }
    if (!m_current)
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
    if (m_editedTo - m_editedFrom > MostEditedSpan) {
        m_current = false;
        m_edited = false;
    }
    Q_EMIT changed();
}

// Reads the edited span of the page into the text; false when the text cannot be
// mended that way and must be taken again.
bool PageText::takeInEdits() {
    if (!m_edited)
        return true;
    m_edited = false;
    const int pageLength = m_document->characterCount() - 1;
    const auto character = [this](int at) { return m_document->characterAt(at).unicode(); };
    // The span is read with a character more on each side, and a surrogate pair at
    // its edge whole, so each half is judged with its partner.
    int from = std::clamp(m_editedFrom - 1, 0, pageLength);
    int to = std::clamp(m_editedTo + 1, from, pageLength);
    if (from > 0 && QChar::isLowSurrogate(character(from)))
        --from;
    if (to < pageLength && QChar::isHighSurrogate(character(to - 1)))
        ++to;
    const qsizetype unchangedTail = pageLength - to;
    const qsizetype replacedTo = m_text.size() - unchangedTail;
    if (replacedTo < from)
        return false;
    QTextCursor span(m_document);
    span.setPosition(from);
    span.setPosition(to, QTextCursor::KeepAnchor);
    m_text.replace(from, replacedTo - from, asSearched(span.selectedText()));
    return true;
}

bool PageText::isCurrent() {
    follow(m_editor->document());
    return m_current;
}

const QString &PageText::text() {
    if (isCurrent() && takeInEdits())
        return m_text;
    // Taking the whole page at once costs a third of reading it line by line, so a
    // reading in slices gives way to it.
    const bool wasReading = m_reading;
    m_slices->stop();
    m_reading = false;
    m_partial = QString();
    m_text = QString(); // the old copy goes before the new one is made
    m_text = asSearched(m_document->toRawText());
    m_current = true;
    m_edited = false;
    if (wasReading)
        Q_EMIT ready();
    return m_text;
}

void PageText::read() {
    if (isCurrent()) {
        Q_EMIT ready();
        return;
    }
    if (m_document->characterCount() <= slicedFrom) {
        text();
        Q_EMIT ready();
        return;
    }
    if (m_reading)
        return;
    m_text.clear();
    m_partial.clear();
    m_partial.reserve(m_document->characterCount());
    m_next = m_document->begin();
    m_reading = true;
    m_slices->start();
}

// Reads lines of the page until the budget is spent; true when the page has been read
// to its end.
bool PageText::readSlice(qint64 budgetMs) {
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = m_next;
    int lines = 0;
    while (block.isValid()) {
        // A surrogate pair never spans a line break, so each line is mended on its own.
        m_partial += asSearched(block.text());
        block = block.next();
        if (block.isValid())
            m_partial += u'\n';
        if (++lines % 512 == 0 && clock.elapsed() >= budgetMs)
            break;
    }
    m_next = block;
    return !block.isValid();
}

void PageText::finish() {
    m_slices->stop();
    m_reading = false;
    m_text = std::move(m_partial);
    m_partial = QString();
    m_current = true;
    m_edited = false;
    Q_EMIT ready();
}

void PageText::release() {
    m_slices->stop();
    m_reading = false;
    m_partial = QString();
    m_text = QString();
    m_current = false;
    m_edited = false;
}

} // namespace vellumo
