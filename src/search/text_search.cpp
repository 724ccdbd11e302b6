#include "search/text_search.h"

#include <algorithm>

namespace vellumo {

namespace {

const QString LineBreakConvention = QStringLiteral("(*ANYCRLF)");
constexpr auto TrustedSubject = QRegularExpression::DontCheckSubjectStringMatchOption;

bool hasLoneSurrogate(QStringView text) {
    // Most pages have no surrogates at all; this first pass is cheap.
    bool any = false;
    for (const QChar c : text)
        any |= (c.unicode() & 0xF800) == 0xD800;
    if (!any)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            return true;
    }
    return false;
}

// `text`, or a copy without lone surrogates kept in `storage`: the matcher is
// told not to check the text again at every call, which it may only be told of
// valid text.
QStringView trusted(QStringView text, QString &storage) {
    if (!hasLoneSurrogate(text))
        return text;
    storage = withoutLoneSurrogates(text.toString());
    return storage;
}

bool splitsPair(QStringView text, qsizetype at) {
    return at > 0 && at < text.size() && text[at].isLowSurrogate() &&
           text[at - 1].isHighSurrogate();
}

bool splitsCrLf(QStringView text, qsizetype at) {
    return at > 0 && at < text.size() && text[at] == u'\n' && text[at - 1] == u'\r';
}

qsizetype nextCharacter(QStringView text, qsizetype at) {
    return splitsPair(text, at + 1) ? at + 2 : at + 1;
}

char32_t codePointAt(QStringView text, qsizetype at) {
    if (at < 0 || at >= text.size())
        return 0;
    if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[at], text[at + 1]);
    return text[at].unicode();
}

char32_t codePointBefore(QStringView text, qsizetype at) {
    if (at <= 0 || at > text.size())
        return 0;
    if (at >= 2 && text[at - 1].isLowSurrogate() && text[at - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[at - 2], text[at - 1]);
    return text[at - 1].unicode();
}

bool isWordCharacter(char32_t c) {
    if (c == 0)
        return false;
    return c == U'_' || QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// Whether the pattern writes a line break itself: "\n" (not "\\n") or a break.
bool asksForLineBreak(const QString &pattern) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'\n')
            return true;
        if (pattern[i] == u'\\' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == u'n')
                return true;
            ++i;
        }
    }
    return false;
}

} // namespace

QString withoutLoneSurrogates(const QString &text) {
    if (!hasLoneSurrogate(text))
        return text;
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (!result[i].isSurrogate())
            continue;
        if (result[i].isHighSurrogate() && i + 1 < result.size() && result[i + 1].isLowSurrogate())
            ++i;
        else
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

TextSearch::TextSearch(const QString &pattern, SearchOptions options)
    : m_pattern(pattern)
    , m_options(options) {
    const bool regex = options.testFlag(SearchOption::RegularExpression);
    QRegularExpression::PatternOptions patternOptions = QRegularExpression::MultilineOption;
    if (!options.testFlag(SearchOption::MatchCase))
        patternOptions |= QRegularExpression::CaseInsensitiveOption;
    if (regex)
        patternOptions |= QRegularExpression::UseUnicodePropertiesOption;
    // CR LF counts as one line break where a text still has them: "." stops
    // before the CR and "$" matches before it, never between the two.
    m_regex.setPattern(LineBreakConvention +
                       (regex ? pattern : QRegularExpression::escape(pattern)));
    m_regex.setPatternOptions(patternOptions);
    m_spansLines = regex ? asksForLineBreak(pattern) : pattern.contains(u'\n');
    if (!pattern.isEmpty())
        m_regex.optimize();
}

bool TextSearch::isValid() const {
    return !m_pattern.isEmpty() && m_regex.isValid();
}

QString TextSearch::errorString() const {
    if (m_pattern.isEmpty() || m_regex.isValid())
        return {};
    return QStringLiteral("%1 at position %2")
        .arg(m_regex.errorString())
        .arg(std::max<qsizetype>(0, m_regex.patternErrorOffset() - LineBreakConvention.size()));
}

bool TextSearch::acceptable(QStringView text, qsizetype start, qsizetype end) const {
    if (splitsCrLf(text, start) || splitsCrLf(text, end) || splitsPair(text, start) ||
        splitsPair(text, end))
        return false;
    if (!m_options.testFlag(SearchOption::WholeWords))
        return true;
    const bool wordBefore = isWordCharacter(codePointBefore(text, start));
    const bool wordAfter = isWordCharacter(codePointAt(text, end));
    if (start == end)
        return !(wordBefore && wordAfter);
    // A match that begins or ends with punctuation ("-->", "<b") is whole at that
    // edge whatever stands beside it.
    return !(wordBefore && isWordCharacter(codePointAt(text, start))) &&
           !(wordAfter && isWordCharacter(codePointBefore(text, end)));
}

QString tooComplexMessage() {
    return QStringLiteral("The expression is too complex for this page");
}

template <typename Visit>
bool TextSearch::scan(QStringView text, qsizetype from, qsizetype end, bool emptyAtFrom,
                      Visit visit, const std::atomic_bool *cancel) const {
    const QStringView subject = text.first(end);
    qsizetype pos = from;
    bool allowEmpty = emptyAtFrom;
    while (pos <= end) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return true;
        QRegularExpressionMatch match =
            m_regex.match(subject, pos, QRegularExpression::NormalMatch, TrustedSubject);
        // A real miss is a valid match without a match; PCRE2 running into its match
        // or depth limit leaves the match invalid.
        if (!match.hasMatch())
            return match.isValid();
        qsizetype start = match.capturedStart();
        qsizetype stop = match.capturedEnd();
        if (!m_spansLines && subject.sliced(start, stop - start).contains(u'\n')) {
            // Something like "\s+" or "[^<]*" ran over a line end: look again
            // within the line where it began.
            const qsizetype lineStart = start == 0 ? 0 : subject.lastIndexOf(u'\n', start - 1) + 1;
            qsizetype lineEnd = subject.indexOf(u'\n', start);
            const qsizetype breakAt =
                lineEnd > lineStart && subject[lineEnd - 1] == u'\r' ? lineEnd - 1 : lineEnd;
            match = m_regex.match(subject.sliced(lineStart, breakAt - lineStart),
                                  std::min(start, breakAt) - lineStart,
                                  QRegularExpression::NormalMatch, TrustedSubject);
            if (!match.isValid())
                return false;
            if (!match.hasMatch()) {
                pos = lineEnd + 1;
                allowEmpty = true;
                continue;
            }
            start = lineStart + match.capturedStart();
            stop = lineStart + match.capturedEnd();
        }
        if (start == stop && start == pos && !allowEmpty) {
            pos = nextCharacter(text, pos);
            allowEmpty = true;
            continue;
        }
        if (!acceptable(text, start, stop)) {
            pos = nextCharacter(text, start);
            allowEmpty = true;
            continue;
        }
        if (!visit(start, stop, match))
            return true;
        pos = stop;
        allowEmpty = stop > start;
    }
    return true;
}

namespace {

qsizetype rangeEnd(QStringView text, SearchRange range) {
    return range.end < 0 ? text.size() : std::min(range.end, text.size());
}

} // namespace

TextMatch TextSearch::next(QStringView text, qsizetype from, SearchRange range,
                           bool emptyAtFrom) const {
    if (!isValid())
        return {};
    QString storage;
    text = trusted(text, storage);
    const qsizetype end = rangeEnd(text, range);
    from = std::max(from, std::max<qsizetype>(range.start, 0));
    if (splitsPair(text, from))
        ++from;
    if (from > end)
        return {};
    TextMatch found;
    found.gaveUp = !scan(text, from, end, emptyAtFrom,
                         [&](qsizetype start, qsizetype stop, const QRegularExpressionMatch &) {
                             found = {start, stop - start};
                             return false;
                         });
    return found;
}

TextMatch TextSearch::previous(QStringView text, qsizetype before, SearchRange range) const {
    if (!isValid())
        return {};
    QString storage;
    text = trusted(text, storage);
    const qsizetype start = std::max<qsizetype>(range.start, 0);
    qsizetype end = rangeEnd(text, range);
    before = std::min(before, end + 1);
    if (before <= start)
        return {};
    // Within one line a match cannot reach past the end of the line where it
    // begins, so the search needs to look no further.
    if (!m_spansLines) {
        const qsizetype lineEnd = text.indexOf(u'\n', before - 1);
        if (lineEnd >= 0)
            end = std::min(end, lineEnd);
    }
    // Matches are found going forwards: from a little way back, then further.
    for (qsizetype window = qsizetype{16} * 1024;; window *= 4) {
        const qsizetype from = std::max(start, before - window);
        TextMatch last;
        const bool ran =
            scan(text, splitsPair(text, from) ? from + 1 : from, end, true,
                 [&](qsizetype matchStart, qsizetype stop, const QRegularExpressionMatch &) {
                     if (matchStart >= before)
                         return false;
                     last = {matchStart, stop - matchStart};
                     return true;
                 });
        // A later match may lie past where the engine gave up: the last one is not known.
        if (!ran)
            return TextMatch{.gaveUp = true};
        if (last.found() || from == start)
            return last;
    }
}

TextMatch TextSearch::find(QStringView text, qsizetype from, bool backward, SearchRange range,
                           bool emptyAtFrom) const {
    TextMatch match = backward ? previous(text, from, range) : next(text, from, range, emptyAtFrom);
    if (match.found() || match.gaveUp || !isValid())
        return match;
    match = backward ? previous(text, rangeEnd(text, range) + 1, range) : next(text, 0, range);
    match.wrapped = match.found();
    return match;
}

bool TextSearch::forEach(QStringView text, SearchRange range,
                         const std::function<bool(const TextMatch &)> &visit,
                         const std::atomic_bool *cancel) const {
    if (!isValid())
        return true;
    QString storage;
    text = trusted(text, storage);
    const qsizetype end = rangeEnd(text, range);
    const qsizetype from = std::max<qsizetype>(range.start, 0);
    if (from > end)
        return true;
    return scan(
        text, splitsPair(text, from) ? from + 1 : from, end, true,
        [&](qsizetype start, qsizetype stop, const QRegularExpressionMatch &) {
            return visit(TextMatch{start, stop - start});
        },
        cancel);
}

QList<TextMatch> TextSearch::all(QStringView text, SearchRange range) const {
    QList<TextMatch> matches;
    forEach(text, range, [&](const TextMatch &match) {
        matches.append(match);
        return true;
    });
    return matches;
}

QList<TextReplacement> TextSearch::replacements(QStringView text, const QString &replacement,
                                                SearchRange range, bool *gaveUp,
                                                const std::atomic_bool *cancel) const {
    QList<TextReplacement> result;
    if (!isValid())
        return result;
    QString storage;
    text = trusted(text, storage);
    const qsizetype end = rangeEnd(text, range);
    const qsizetype from = std::max<qsizetype>(range.start, 0);
    if (from > end)
        return result;
    const bool expand = m_options.testFlag(SearchOption::RegularExpression);
    const bool ran =
        scan(text, splitsPair(text, from) ? from + 1 : from, end, true,
             [&](qsizetype start, qsizetype stop, const QRegularExpressionMatch &match) {
                 result.append({start, stop - start,
                                expand ? expandReplacement(replacement, match) : replacement});
                 return cancel == nullptr || !*cancel;
             });
    if (gaveUp != nullptr)
        *gaveUp = !ran;
    // Some of the matches only: replacing those would look like all of them.
    if (!ran || (cancel != nullptr && *cancel))
        result.clear();
    return result;
}

QString TextSearch::replacementFor(QStringView text, const TextMatch &match,
                                   const QString &replacement) const {
    if (!m_options.testFlag(SearchOption::RegularExpression))
        return replacement;
    QString storage;
    text = trusted(text, storage);
    QString result = replacement;
    scan(text, match.start, text.size(), true,
         [&](qsizetype start, qsizetype stop, const QRegularExpressionMatch &found) {
             if (start == match.start && stop == match.end())
                 result = expandReplacement(replacement, found);
             return false;
         });
    return result;
}

QString expandReplacement(const QString &replacement, const QRegularExpressionMatch &match) {
    QString result;
    result.reserve(replacement.size());
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement[i];
        const QChar next = i + 1 < n ? replacement[i + 1] : QChar();
        if (c == u'\\' && next.isDigit()) {
            result += match.captured(next.digitValue());
            ++i;
        } else if (c == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
            result += next == u'n' ? u'\n' : next == u't' ? u'\t' : u'\\';
            ++i;
        } else if (c == u'$' && next.isDigit()) {
            // Two digits when there are that many groups: "$12" is group 12, or
            // group 1 followed by a "2".
            int group = next.digitValue();
            ++i;
            if (i + 1 < n && replacement[i + 1].isDigit() &&
                group * 10 + replacement[i + 1].digitValue() <= match.lastCapturedIndex()) {
                group = group * 10 + replacement[i + 1].digitValue();
                ++i;
            }
            result += match.captured(group);
        } else if (c == u'$' && next == u'{') {
            const qsizetype close = replacement.indexOf(u'}', i + 2);
            if (close < 0) {
                result += c;
                continue;
            }
            const QString name = replacement.mid(i + 2, close - i - 2);
            bool isNumber = false;
            const int group = name.toInt(&isNumber);
            result += isNumber ? match.captured(group) : match.captured(name);
            i = close;
        } else if (c == u'$' && next == u'$') {
            result += u'$';
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace vellumo
