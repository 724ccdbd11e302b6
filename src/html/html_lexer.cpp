#include "html/html_lexer.h"

#include "html/elements.h"

#include <array>
#include <string_view>

namespace vellumo {

namespace {

using Kind = HtmlTokenKind;
using Mode = HtmlLexState::Mode;
using Raw = HtmlLexState::Raw;
using ScriptMode = HtmlLexState::ScriptMode;

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r' || c == u'\f';
}

bool isAsciiAlpha(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool isIdentifierChar(char16_t c) {
    return isAsciiAlpha(c) || isDigit(c) || c == u'_' || c == u'$' || c >= 0x80;
}

bool isCssNameChar(char16_t c) {
    return isAsciiAlpha(c) || isDigit(c) || c == u'-' || c == u'_' || c >= 0x80;
}

constexpr std::array<std::u16string_view, 44> ScriptKeywords{
    u"async",    u"await",    u"break",   u"case",       u"catch",     u"class",    u"const",
    u"continue", u"debugger", u"default", u"delete",     u"do",        u"else",     u"export",
    u"extends",  u"false",    u"finally", u"for",        u"from",      u"function", u"get",
    u"if",       u"import",   u"in",      u"instanceof", u"let",       u"new",      u"null",
    u"of",       u"return",   u"set",     u"static",     u"super",     u"switch",   u"this",
    u"throw",    u"true",     u"try",     u"typeof",     u"undefined", u"var",      u"void",
    u"while",    u"yield",
};

// After these a '/' starts a regular expression; after any other word it divides.
constexpr std::array<std::u16string_view, 14> RegexKeywords{
    u"return", u"typeof", u"instanceof", u"in", u"of",   u"new",   u"delete",
    u"void",   u"throw",  u"case",       u"do", u"else", u"yield", u"await",
};

template <std::size_t N>
bool contains(const std::array<std::u16string_view, N> &words, QStringView word) {
    for (std::u16string_view candidate : words)
        if (candidate.size() == std::size_t(word.size()) &&
            std::equal(candidate.begin(), candidate.end(), word.utf16()))
            return true;
    return false;
}

// At-rules whose block holds rules rather than declarations.
constexpr std::array<std::u16string_view, 10> RuleBlockAtRules{
    u"media",     u"supports", u"document",  u"-moz-document",     u"layer",
    u"container", u"scope",    u"keyframes", u"-webkit-keyframes", u"starting-style",
};

class Lexer {
public:
    Lexer(QStringView text, bool lineBreakAfter, HtmlLexState state, QList<HtmlTokenSpan> *spans)
        : m_text(text.utf16())
        , m_size(text.size())
        , m_end(text.size() + (lineBreakAfter ? 1 : 0))
        , m_spans(spans)
        , m_state(state) {}

    // Lexes from `from` (the start or a boundary an earlier run stopped at) to the
    // first boundary between tokens at or after `until`; returns where it stopped.
    qsizetype run(qsizetype from = 0, qsizetype until = -1) {
        const qsizetype stop = until < 0 || until > m_end ? m_end : until;
        qsizetype i = from;
        while (i < stop)
            i = step(i);
        return i;
    }
    HtmlLexState state() const { return m_state; }

private:
    // The text, with the line break that follows a line as one more character;
    // 0 past the end.
    char16_t at(qsizetype i) const { return i < m_size ? m_text[i] : (i < m_end ? u'\n' : u'\0'); }

    // Lexing for states only marks nothing, and costs no call per token.
    void mark(Kind kind, qsizetype from, qsizetype to) {
        if (m_spans != nullptr)
            markSpan(kind, from, to);
    }

    // Marks the run of whitespace that starts at `i` as `kind`; returns where it ends.
    qsizetype markSpaces(Kind kind, qsizetype i, qsizetype limit) {
        qsizetype k = i + 1;
        while (k < limit && isSpace(at(k)))
            ++k;
        mark(kind, i, k);
        return k;
    }

    void markSpan(Kind kind, qsizetype from, qsizetype to) {
        if (to > m_size)
            to = m_size;
        if (to <= from)
            return;
        if (!m_spans->isEmpty()) {
            HtmlTokenSpan &last = m_spans->last();
            if (last.kind == kind && last.start + last.length == from) {
                last.length += int(to - from);
                return;
            }
        }
        m_spans->append(HtmlTokenSpan{kind, int(from), int(to - from)});
    }

    // The first `c` at or after `from` (before `limit`), or `limit`.
    qsizetype find(char16_t c, qsizetype from, qsizetype limit) const {
        const qsizetype stop = limit < m_size ? limit : m_size;
        // Most things looked for are near (a value's closing quote); the vector
        // search pays off further away.
        const qsizetype near = from + 16 < stop ? from + 16 : stop;
        for (qsizetype i = from; i < near; ++i)
            if (m_text[i] == c)
                return i;
        from = near;
        if (from < stop) {
            const qsizetype found = QStringView(m_text + from, stop - from).indexOf(QChar(c));
            if (found >= 0)
                return from + found;
        }
        if (c == u'\n' && m_size < limit && m_size < m_end)
            return m_size;
        return limit;
    }

    bool matchesLower(qsizetype at, std::u16string_view word) const {
        for (std::size_t k = 0; k < word.size(); ++k)
            if (asciiLower(this->at(at + qsizetype(k))) != word[k])
                return false;
        return true;
    }

    qsizetype step(qsizetype i) {
        switch (m_state.mode) {
        case Mode::Data:
            return data(i);
        case Mode::Comment:
            return comment(i);
        case Mode::BogusComment:
            return untilTagEnd(i, Kind::Comment);
        case Mode::Doctype:
            return untilTagEnd(i, Kind::Doctype);
        case Mode::BeforeAttributeName:
            return beforeAttributeName(i);
        case Mode::AfterAttributeName:
            return afterAttributeName(i);
        case Mode::BeforeValue:
            return beforeValue(i);
        case Mode::ValueDoubleQuoted:
            return quotedValue(i, u'"');
        case Mode::ValueSingleQuoted:
            return quotedValue(i, u'\'');
        case Mode::RawContent:
            return rawContent(i);
        }
        return m_end;
    }

    // The end of a character reference starting with the '&' at `at`, or -1 when
    // there is none there: a name or number without its ';' is not one.
    qsizetype characterReference(qsizetype at, qsizetype limit) const {
        qsizetype k = at + 1;
        auto ch = [&](qsizetype p) { return p < limit ? this->at(p) : u'\0'; };
        qsizetype first;
        if (ch(k) == u'#') {
            ++k;
            if (ch(k) == u'x' || ch(k) == u'X') {
                first = ++k;
                while (isHexDigit(ch(k)))
                    ++k;
            } else {
                first = k;
                while (isDigit(ch(k)))
                    ++k;
            }
        } else {
            first = k;
            if (!isAsciiAlpha(ch(k)))
                return -1;
            while (isAsciiAlpha(ch(k)) || isDigit(ch(k)))
                ++k;
        }
        if (k == first || ch(k) != u';')
            return -1;
        return k + 1;
    }

    // Text from `i` to `limit` as `kind`, its character references marked.
    void textWithReferences(qsizetype i, qsizetype limit, Kind kind) {
        if (m_spans == nullptr)
            return;
        qsizetype from = i;
        for (qsizetype k = i; k < limit && k < m_size; ++k) {
            if (m_text[k] != u'&')
                continue;
            const qsizetype end = characterReference(k, limit);
            if (end < 0)
                continue;
            mark(kind, from, k);
            mark(Kind::CharacterReference, k, end);
            from = end;
            k = end - 1;
        }
        mark(kind, from, limit);
    }

    qsizetype data(qsizetype i) {
        const qsizetype open = find(u'<', i, m_end);
        textWithReferences(i, open, Kind::Text);
        return open < m_end ? tagOpen(open) : m_end;
    }

    qsizetype tagOpen(qsizetype p) {
        const char16_t next = at(p + 1);
        if (isAsciiAlpha(next)) {
            mark(Kind::TagDelimiter, p, p + 1);
            m_state.endTag = false;
            return tagName(p + 1);
        }
        if (next == u'/') {
            const char16_t first = at(p + 2);
            if (isAsciiAlpha(first)) {
                mark(Kind::TagDelimiter, p, p + 2);
                m_state.endTag = true;
                return tagName(p + 2);
            }
            if (first == u'>') { // "</>" is dropped by the tokenizer
                mark(Kind::TagDelimiter, p, p + 3);
                return p + 3;
            }
            if (first == u'\0') {
                mark(Kind::Text, p, p + 2);
                return p + 2;
            }
            mark(Kind::Comment, p, p + 2);
            m_state.mode = Mode::BogusComment;
            return p + 2;
        }
        if (next == u'!') {
            if (at(p + 2) == u'-' && at(p + 3) == u'-') {
                // "<!-->" and "<!--->" are whole comments.
                const qsizetype body = p + 4;
                qsizetype end = -1;
                if (at(body) == u'>')
                    end = body + 1;
                else if (at(body) == u'-' && at(body + 1) == u'>')
                    end = body + 2;
                if (end > 0) {
                    mark(Kind::Comment, p, end);
                    return end;
                }
                mark(Kind::Comment, p, body);
                m_state.mode = Mode::Comment;
                return body;
            }
            if (matchesLower(p + 2, u"doctype")) {
                mark(Kind::Doctype, p, p + 9);
                m_state.mode = Mode::Doctype;
                return p + 9;
            }
            mark(Kind::Comment, p, p + 2);
            m_state.mode = Mode::BogusComment;
            return p + 2;
        }
        if (next == u'?') {
            mark(Kind::Comment, p, p + 1);
            m_state.mode = Mode::BogusComment;
            return p + 1;
        }
        mark(Kind::Text, p, p + 1);
        return p + 1;
    }

    qsizetype tagName(qsizetype from) {
        // The line break after the text is whitespace, so the name ends before it.
        qsizetype k = from;
        while (k < m_size && !isSpace(m_text[k]) && m_text[k] != u'/' && m_text[k] != u'>')
            ++k;
        mark(Kind::TagName, from, k);
        m_state.raw = Raw::None;
        const qsizetype length = k - from;
        if (length >= qsizetype(ShortestRawTextName) && length <= qsizetype(LongestRawTextName))
            for (const RawTextElement &element : RawTextElements)
                if (qsizetype(element.name.size()) == length && matchesLower(from, element.name))
                    m_state.raw = element.raw;
        m_state.mode = Mode::BeforeAttributeName;
        return k;
    }

    // A run of whitespace inside a tag.
    qsizetype tagSpace(qsizetype i) {
        qsizetype k = i;
        while (isSpace(at(k)))
            ++k;
        mark(Kind::TagSpace, i, k);
        return k;
    }

    qsizetype finishTag(qsizetype from, qsizetype to) {
        mark(Kind::TagDelimiter, from, to);
        if (!m_state.endTag && m_state.raw != Raw::None) {
            m_state.mode = Mode::RawContent;
            const Raw raw = m_state.raw;
            m_state = HtmlLexState{};
            m_state.mode = Mode::RawContent;
            m_state.raw = raw;
        } else {
            m_state = HtmlLexState{};
        }
        return to;
    }

    qsizetype beforeAttributeName(qsizetype i) {
        const char16_t c = at(i);
        if (isSpace(c))
            return tagSpace(i);
        if (c == u'>')
            return finishTag(i, i + 1);
        if (c == u'/') {
            if (at(i + 1) == u'>')
                return finishTag(i, i + 2);
            mark(Kind::TagSpace, i, i + 1);
            return i + 1;
        }
        // An attribute's name; a leading '=' belongs to it, as in the tokenizer.
        qsizetype k = i + 1;
        for (char16_t d = at(k); d != u'\0' && !isSpace(d) && d != u'/' && d != u'>' && d != u'=';
             d = at(++k)) {
        }
        mark(Kind::AttributeName, i, k);
        m_state.mode = Mode::AfterAttributeName;
        return k;
    }

    qsizetype afterAttributeName(qsizetype i) {
        const char16_t c = at(i);
        if (isSpace(c))
            return tagSpace(i);
        if (c == u'=') {
            mark(Kind::TagSpace, i, i + 1);
            m_state.mode = Mode::BeforeValue;
            return i + 1;
        }
        m_state.mode = Mode::BeforeAttributeName;
        return beforeAttributeName(i);
    }

    qsizetype beforeValue(qsizetype i) {
        const char16_t c = at(i);
        if (isSpace(c))
            return tagSpace(i);
        if (c == u'"' || c == u'\'') {
            mark(Kind::AttributeValue, i, i + 1);
            m_state.mode = c == u'"' ? Mode::ValueDoubleQuoted : Mode::ValueSingleQuoted;
            return i + 1;
        }
        if (c == u'>')
            return finishTag(i, i + 1);
        qsizetype k = i;
        for (char16_t d = at(k); d != u'\0' && !isSpace(d) && d != u'>'; d = at(++k)) {
        }
        textWithReferences(i, k, Kind::AttributeValue);
        m_state.mode = Mode::BeforeAttributeName;
        return k;
    }

    qsizetype quotedValue(qsizetype i, char16_t quote) {
        const qsizetype close = find(quote, i, m_end);
        if (close == m_end) {
            textWithReferences(i, m_end, Kind::AttributeValue);
            return m_end;
        }
        textWithReferences(i, close, Kind::AttributeValue);
        mark(Kind::AttributeValue, close, close + 1);
        m_state.mode = Mode::BeforeAttributeName;
        return close + 1;
    }

    qsizetype comment(qsizetype i) {
        for (qsizetype k = find(u'-', i, m_end); k < m_end; k = find(u'-', k + 1, m_end)) {
            if (at(k + 1) != u'-')
                continue;
            qsizetype end = -1;
            if (at(k + 2) == u'>')
                end = k + 3;
            else if (at(k + 2) == u'!' && at(k + 3) == u'>')
                end = k + 4;
            if (end > 0) {
                mark(Kind::Comment, i, end);
                m_state.mode = Mode::Data;
                return end;
            }
        }
        mark(Kind::Comment, i, m_end);
        return m_end;
    }

    qsizetype untilTagEnd(qsizetype i, Kind kind) {
        const qsizetype close = find(u'>', i, m_end);
        if (close == m_end) {
            mark(kind, i, m_end);
            return m_end;
        }
        mark(kind, i, close + 1);
        m_state.mode = Mode::Data;
        return close + 1;
    }

    // Where the contents of the current raw element end: at "</name" followed by
    // whitespace, '/' or '>', wherever it stands (also inside a script's string).
    qsizetype rawEnd(qsizetype i) const {
        if (m_state.raw == Raw::Plaintext)
            return m_end;
        const std::u16string_view name = rawTextName(m_state.raw);
        for (qsizetype k = find(u'<', i, m_end); k < m_size; k = find(u'<', k + 1, m_end)) {
            if (at(k + 1) != u'/' || !matchesLower(k + 2, name))
                continue;
            const char16_t after = at(k + 2 + qsizetype(name.size()));
            if (isSpace(after) || after == u'/' || after == u'>')
                return k;
        }
        return m_end;
    }

    // One token of a script or style sheet at a time, so a run can stop between
    // them; where the contents end is searched for once per run of them.
    qsizetype rawContent(qsizetype i) {
        if (m_rawEnd < i)
            m_rawEnd = rawEnd(i);
        const qsizetype end = m_rawEnd;
        if (i < end) {
            if (m_state.raw == Raw::Script)
                return scriptStep(i, end);
            if (m_state.raw == Raw::Style)
                return styleStep(i, end);
            if (rawTextHoldsReferences(m_state.raw))
                textWithReferences(i, end, Kind::Text);
            else
                mark(Kind::Text, i, end);
            return end;
        }
        m_rawEnd = -1;
        const qsizetype nameLength = qsizetype(rawTextName(m_state.raw).size());
        mark(Kind::TagDelimiter, end, end + 2);
        mark(Kind::TagName, end + 2, end + 2 + nameLength);
        const Raw raw = m_state.raw;
        m_state = HtmlLexState{};
        m_state.mode = Mode::BeforeAttributeName;
        m_state.raw = raw;
        m_state.endTag = true;
        return end + 2 + nameLength;
    }

    // ---- JavaScript, up to `limit` (the script's end tag or the text's end).

    qsizetype scriptStep(qsizetype i, qsizetype limit) {
        auto ch = [&](qsizetype p) { return p < limit ? at(p) : u'\0'; };
        HtmlLexState &s = m_state;
        switch (s.script) {
        case ScriptMode::BlockComment:
            for (qsizetype k = find(u'*', i, limit); k < limit; k = find(u'*', k + 1, limit)) {
                if (ch(k + 1) == u'/') {
                    mark(Kind::ScriptComment, i, k + 2);
                    s.script = ScriptMode::Code;
                    return k + 2;
                }
            }
            mark(Kind::ScriptComment, i, limit);
            return limit;
        case ScriptMode::SingleQuoted:
        case ScriptMode::DoubleQuoted:
            return scriptString(i, limit);
        case ScriptMode::Template:
            return scriptTemplate(i, limit);
        case ScriptMode::Code:
            break;
        }
        const char16_t c = at(i);
        if (isSpace(c))
            return markSpaces(Kind::ScriptText, i, limit);
        if (c == u'/') {
            const char16_t next = ch(i + 1);
            if (next == u'/') {
                const qsizetype end = find(u'\n', i, limit);
                mark(Kind::ScriptComment, i, end);
                return end;
            }
            if (next == u'*') {
                mark(Kind::ScriptComment, i, i + 2);
                s.script = ScriptMode::BlockComment;
                return i + 2;
            }
            if (s.regexAllowed) {
                const qsizetype end = regexEnd(i, limit);
                if (end > 0) {
                    mark(Kind::ScriptRegex, i, end);
                    s.regexAllowed = false;
                    return end;
                }
            }
            mark(Kind::ScriptText, i, i + 1);
            s.regexAllowed = true;
            return i + 1;
        }
        if (c == u'\'' || c == u'"') {
            mark(Kind::ScriptString, i, i + 1);
            s.script = c == u'"' ? ScriptMode::DoubleQuoted : ScriptMode::SingleQuoted;
            return scriptString(i + 1, limit);
        }
        if (c == u'`') {
            mark(Kind::ScriptTemplate, i, i + 1);
            s.script = ScriptMode::Template;
            return i + 1;
        }
        if (isDigit(c) || (c == u'.' && isDigit(ch(i + 1)))) {
            const bool hex = c == u'0' && (ch(i + 1) == u'x' || ch(i + 1) == u'X');
            qsizetype k = i + 1;
            for (;;) {
                const char16_t d = ch(k);
                if (!hex && (d == u'e' || d == u'E') && (ch(k + 1) == u'+' || ch(k + 1) == u'-'))
                    k += 2;
                else if (isAsciiAlpha(d) || isDigit(d) || d == u'_' || d == u'.')
                    ++k;
                else
                    break;
            }
            mark(Kind::ScriptNumber, i, k);
            s.regexAllowed = false;
            return k;
        }
        if (isIdentifierChar(c)) {
            qsizetype k = i + 1;
            while (isIdentifierChar(ch(k)))
                ++k;
            const QStringView word(m_text + i, k - i);
            mark(contains(ScriptKeywords, word) ? Kind::ScriptKeyword : Kind::ScriptText, i, k);
            s.regexAllowed = contains(RegexKeywords, word);
            return k;
        }
        if (c == u'}' && s.templateExpr && s.exprBraces == 0) {
            mark(Kind::ScriptTemplate, i, i + 1);
            s.templateExpr = false;
            s.script = ScriptMode::Template;
            return i + 1;
        }
        if (c == u'}' && s.templateExpr)
            --s.exprBraces;
        if (c == u'{' && s.templateExpr && s.exprBraces < 7)
            ++s.exprBraces;
        mark(Kind::ScriptText, i, i + 1);
        // After a closing bracket a '/' divides; after '}' it may be either, and
        // division is the reading that colours nothing wrongly.
        s.regexAllowed = !(c == u')' || c == u']' || c == u'}');
        return i + 1;
    }

    // The end of a regular expression starting at the '/' at `i`, or -1 if the
    // line holds no end for it (then the '/' was an operator after all).
    qsizetype regexEnd(qsizetype i, qsizetype limit) const {
        auto ch = [&](qsizetype p) { return p < limit ? at(p) : u'\0'; };
        bool inClass = false;
        qsizetype k = i + 1;
        for (char16_t c = ch(k); c != u'\0' && c != u'\n'; c = ch(k)) {
            if (c == u'\\') {
                if (ch(k + 1) == u'\n' || ch(k + 1) == u'\0')
                    return -1;
                k += 2;
                continue;
            }
            if (c == u'[')
                inClass = true;
            else if (c == u']')
                inClass = false;
            else if (c == u'/' && !inClass) {
                ++k;
                while (isAsciiAlpha(ch(k)))
                    ++k;
                return k;
            }
            ++k;
        }
        return -1;
    }

    // A quoted string's body; a backslash before the line break carries it on.
    qsizetype scriptString(qsizetype i, qsizetype limit) {
        const char16_t quote = m_state.script == ScriptMode::DoubleQuoted ? u'"' : u'\'';
        qsizetype k = i;
        while (k < limit) {
            const char16_t c = at(k);
            if (c == u'\\') {
                k = k + 2 < limit ? k + 2 : limit;
                continue;
            }
            if (c == quote) {
                mark(Kind::ScriptString, i, k + 1);
                m_state.script = ScriptMode::Code;
                m_state.regexAllowed = false;
                return k + 1;
            }
            if (c == u'\n') { // unterminated: the string ends with its line
                mark(Kind::ScriptString, i, k);
                m_state.script = ScriptMode::Code;
                m_state.regexAllowed = false;
                return k;
            }
            ++k;
        }
        mark(Kind::ScriptString, i, limit);
        return limit;
    }

    qsizetype scriptTemplate(qsizetype i, qsizetype limit) {
        qsizetype k = i;
        while (k < limit) {
            const char16_t c = at(k);
            if (c == u'\\') {
                k = k + 2 < limit ? k + 2 : limit;
                continue;
            }
            if (c == u'`') {
                mark(Kind::ScriptTemplate, i, k + 1);
                m_state.script = ScriptMode::Code;
                m_state.regexAllowed = false;
                return k + 1;
            }
            if (c == u'$' && k + 1 < limit && at(k + 1) == u'{') {
                mark(Kind::ScriptTemplate, i, k + 2);
                m_state.script = ScriptMode::Code;
                m_state.templateExpr = true;
                m_state.exprBraces = 0;
                m_state.regexAllowed = true;
                return k + 2;
            }
            ++k;
        }
        mark(Kind::ScriptTemplate, i, limit);
        return limit;
    }

    // ---- CSS, up to `limit`.

    bool inDeclarations() const {
        const HtmlLexState &s = m_state;
        return s.cssDepth > 0 && !(s.cssRuleBlocks & (1u << (s.cssDepth - 1)));
    }

    qsizetype styleStep(qsizetype i, qsizetype limit) {
        auto ch = [&](qsizetype p) { return p < limit ? at(p) : u'\0'; };
        HtmlLexState &s = m_state;
        if (s.cssComment) {
            for (qsizetype k = find(u'*', i, limit); k < limit; k = find(u'*', k + 1, limit)) {
                if (ch(k + 1) == u'/') {
                    mark(Kind::StyleComment, i, k + 2);
                    s.cssComment = false;
                    return k + 2;
                }
            }
            mark(Kind::StyleComment, i, limit);
            return limit;
        }
        const char16_t c = at(i);
        if (isSpace(c))
            return markSpaces(Kind::StyleText, i, limit);
        if (c == u'/' && ch(i + 1) == u'*') {
            mark(Kind::StyleComment, i, i + 2);
            s.cssComment = true;
            return i + 2;
        }
        if (c == u'"' || c == u'\'') {
            // A string ends at its quote or, unterminated, with its line.
            qsizetype k = i + 1;
            for (char16_t d = ch(k); d != u'\0' && d != c && d != u'\n'; d = ch(k))
                k += (d == u'\\' && ch(k + 1) != u'\n' && ch(k + 1) != u'\0') ? 2 : 1;
            if (ch(k) == c)
                ++k;
            mark(Kind::StyleString, i, k);
            return k;
        }
        if (c == u'@') {
            qsizetype k = i + 1;
            while (isCssNameChar(ch(k)))
                ++k;
            mark(Kind::StyleAtRule, i, k);
            s.cssPrelude = true;
            s.cssPreludeRules = false;
            for (std::u16string_view name : RuleBlockAtRules)
                if (qsizetype(name.size()) == k - i - 1 && matchesLower(i + 1, name))
                    s.cssPreludeRules = true;
            return k;
        }
        if (c == u'{' || c == u'}' || c == u';') {
            mark(Kind::StyleText, i, i + 1);
            if (c == u'{' && s.cssDepth < 7) {
                ++s.cssDepth;
                const std::uint8_t bit = std::uint8_t(1u << (s.cssDepth - 1));
                s.cssRuleBlocks = (s.cssPrelude && s.cssPreludeRules) ? (s.cssRuleBlocks | bit)
                                                                      : (s.cssRuleBlocks & ~bit);
            } else if (c == u'}' && s.cssDepth > 0) {
                --s.cssDepth;
            }
            s.cssPrelude = false;
            s.cssValue = false;
            return i + 1;
        }
        // A run of anything else, up to the next character that means something.
        auto runEnd = [&](bool stopAtColon, bool stopAtComma) {
            qsizetype k = i + 1;
            for (char16_t d = ch(k); d != u'\0'; d = ch(++k)) {
                if (isSpace(d) || d == u'{' || d == u'}' || d == u';' || d == u'"' || d == u'\'' ||
                    (d == u'/' && ch(k + 1) == u'*') || (stopAtColon && d == u':') ||
                    (stopAtComma && d == u','))
                    break;
            }
            return k;
        };
        if (s.cssPrelude) {
            const qsizetype k = runEnd(false, false);
            mark(Kind::StyleValue, i, k);
            return k;
        }
        if (inDeclarations()) {
            if (s.cssValue) {
                const qsizetype k = runEnd(false, false);
                mark(Kind::StyleValue, i, k);
                return k;
            }
            if (c == u':') {
                mark(Kind::StyleText, i, i + 1);
                s.cssValue = true;
                return i + 1;
            }
            if (!isCssNameChar(c)) {
                mark(Kind::StyleText, i, i + 1);
                return i + 1;
            }
            qsizetype k = i + 1;
            while (isCssNameChar(ch(k)))
                ++k;
            mark(Kind::StyleProperty, i, k);
            return k;
        }
        if (c == u',') {
            mark(Kind::StyleText, i, i + 1);
            return i + 1;
        }
        const qsizetype k = runEnd(false, true);
        mark(Kind::StyleSelector, i, k);
        return k;
    }

    const char16_t *m_text;
    qsizetype m_size; // the text's own characters
    qsizetype m_end;  // and the line break after them, if any
    QList<HtmlTokenSpan> *m_spans;
    HtmlLexState m_state;
    qsizetype m_rawEnd = -1; // where the current raw contents end, once searched for
};

} // namespace

int HtmlLexState::pack() const {
    quint32 bits = quint32(mode) | quint32(raw) << 4 | quint32(endTag) << 8;
    bits |= quint32(script) << 9 | quint32(regexAllowed) << 12 | quint32(templateExpr) << 13 |
            quint32(exprBraces & 7) << 14;
    bits |= quint32(cssComment) << 17 | quint32(cssValue) << 18 | quint32(cssPrelude) << 19 |
            quint32(cssPreludeRules) << 20 | quint32(cssDepth & 7) << 21 |
            quint32(cssRuleBlocks & 0x7f) << 24;
    return int(bits);
}

HtmlLexState HtmlLexState::unpack(int packed) {
    const quint32 bits = quint32(packed);
    HtmlLexState s;
    s.mode = Mode(bits & 0xf);
    s.raw = Raw((bits >> 4) & 0xf);
    s.endTag = (bits >> 8) & 1;
    s.script = ScriptMode((bits >> 9) & 7);
    s.regexAllowed = (bits >> 12) & 1;
    s.templateExpr = (bits >> 13) & 1;
    s.exprBraces = std::uint8_t((bits >> 14) & 7);
    s.cssComment = (bits >> 17) & 1;
    s.cssValue = (bits >> 18) & 1;
    s.cssPrelude = (bits >> 19) & 1;
    s.cssPreludeRules = (bits >> 20) & 1;
    s.cssDepth = std::uint8_t((bits >> 21) & 7);
    s.cssRuleBlocks = std::uint8_t((bits >> 24) & 0x7f);
    return s;
}

HtmlLexState lexHtmlLine(QStringView line, HtmlLexState state, QList<HtmlTokenSpan> *spans) {
    Lexer lexer(line, true, state, spans);
    lexer.run();
    return lexer.state();
}

namespace {

HtmlLexPoint lexStretch(QStringView text, bool lineBreakAfter, HtmlLexPoint from, int until,
                        QList<HtmlTokenSpan> *spans) {
    Lexer lexer(text, lineBreakAfter, from.state, spans);
    const qsizetype stop = lexer.run(from.position, until);
    return HtmlLexPoint{int(stop), lexer.state()};
}

} // namespace

HtmlLexPoint lexHtmlLinePart(QStringView line, HtmlLexPoint from, int until,
                             QList<HtmlTokenSpan> *spans) {
    return lexStretch(line, true, from, until, spans);
}

HtmlLexState lexHtmlText(QStringView text, HtmlLexState state, QList<HtmlTokenSpan> *spans) {
    Lexer lexer(text, false, state, spans);
    lexer.run();
    return lexer.state();
}

HtmlLexPoint lexHtmlTextUntil(QStringView text, HtmlLexPoint from, int until,
                              QList<HtmlTokenSpan> *spans) {
    return lexStretch(text, false, from, until, spans);
}

} // namespace vellumo
