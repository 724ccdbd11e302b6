#include "check/line_index.h"

#include <algorithm>

namespace vellumo {

LineIndex::LineIndex(const QString &text)
    : m_text(text) {
    m_starts.append(0);
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c == u'\n') {
            m_starts.append(i + 1);
        } else if (c == u'\r') {
            if (i + 1 < size && data[i + 1] == u'\n')
                ++i;
            m_starts.append(i + 1);
        }
    }
}

int LineIndex::lineOf(qsizetype at) const {
    const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend(), at);
    return int(it - m_starts.cbegin());
}

qsizetype LineIndex::lineStart(int line) const {
    return m_starts.value(std::clamp(line, 1, lineCount()) - 1);
}

qsizetype LineIndex::lineEnd(int line) const {
    if (line >= lineCount())
        return m_text.size();
    qsizetype end = m_starts.at(std::max(line, 1)) - 1;
    if (end > 0 && m_text.at(end) == u'\n' && m_text.at(end - 1) == u'\r')
        --end;
    return end;
}

bool LineIndex::plainLine(int line) const {
    if (m_plain.isEmpty())
        m_plain.fill(-1, m_starts.size());
    signed char &known = m_plain[std::clamp(line, 1, lineCount()) - 1];
    if (known < 0) {
        known = 1;
        for (qsizetype i = lineStart(line), end = lineEnd(line); i < end; ++i) {
            if (m_text.at(i).isSurrogate()) {
                known = 0;
                break;
            }
        }
    }
    return known == 1;
}

int LineIndex::columnOf(qsizetype at) const {
    const int line = lineOf(at);
    const qsizetype start = lineStart(line);
    if (plainLine(line))
        return int(at - start) + 1;
    int column = 1;
    for (qsizetype i = start; i < at; ++i) {
        if (!(m_text.at(i).isLowSurrogate() && i > start && m_text.at(i - 1).isHighSurrogate()))
            ++column;
    }
    return column;
}

qsizetype LineIndex::offsetOf(int line, int column) const {
    const qsizetype end = lineEnd(line);
    qsizetype at = lineStart(line);
    if (plainLine(line))
        return std::min(at + std::max(column, 1) - 1, end);
    for (int c = 1; c < column && at < end; ++c) {
        if (m_text.at(at).isHighSurrogate() && at + 1 < end && m_text.at(at + 1).isLowSurrogate())
            ++at;
        ++at;
    }
    return at;
}

} // namespace vellumo
