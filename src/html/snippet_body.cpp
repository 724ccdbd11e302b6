#include "html/snippet_body.h"

#include <QHash>

#include <algorithm>

namespace vellumo {

namespace {

struct VariableName {
    QLatin1String name;
    QString SnippetVariables::*value;
};

constexpr VariableName VariableNames[] = {
    {QLatin1String("SELECTION"), &SnippetVariables::selection},
    {QLatin1String("CLIPBOARD"), &SnippetVariables::clipboard},
    {QLatin1String("DATE"), &SnippetVariables::date},
    {QLatin1String("FILENAME"), &SnippetVariables::fileName},
    {QLatin1String("TITLE"), &SnippetVariables::title},
};

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool isNameStart(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}
bool isNameCharacter(QChar c) {
    return isNameStart(c) || isDigit(c);
}

// Line breaks as the editor counts them: one character each.
QString withPlainBreaks(const QString &text) {
    if (!text.contains(u'\r'))
        return text;
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(u'\r', u'\n');
    return plain;
}

// Reads a body once from start to end, writing the filled text as it goes. Defaults are
// written in place and a mirror's own default is read (so it is checked) and then
// replaced by the first place's text.
class SnippetFiller {
public:
    SnippetFiller(QStringView body, const SnippetVariables &variables, QStringView indent)
        : m_body(body)
        , m_variables(variables)
        , m_indent(indent) {}

    bool fill() {
        if (!readText(Within::Body))
            return false;
        std::stable_sort(
            m_out.places.begin(), m_out.places.end(),
            [](const SnippetPlace &a, const SnippetPlace &b) { return a.number < b.number; });
        if (m_finalCaret < 0)
            m_finalCaret = length();
        m_out.finalCaret = m_finalCaret;
        return true;
    }

    FilledSnippet take() { return std::move(m_out); }
    const QString &error() const { return m_error; }

private:
    enum class Within { Body, Default };

    int length() const { return static_cast<int>(m_out.text.size()); }
    QChar peek(qsizetype at) const { return at < m_body.size() ? m_body[at] : QChar(); }

    bool fail(const QString &what, qsizetype at) {
        m_error = QStringLiteral("%1 at %2").arg(what).arg(at + 1);
        return false;
    }
    bool fail(const char *what, qsizetype at) { return fail(QLatin1String(what), at); }

    // Text up to the end of the body, or inside a default up to (not past) its closing brace.
    // Returns false on an error, and inside a default also when the body ends first.
    bool readText(Within within) {
        while (m_at < m_body.size()) {
            const QChar c = m_body[m_at];
            const QChar next = peek(m_at + 1);
            if (c == u'\\' && (next == u'$' || next == u'}' || next == u'\\')) {
                m_out.text += next;
                m_at += 2;
            } else if (c == u'}' && within == Within::Default) {
                return true;
            } else if (c == u'\r' || c == u'\n') {
                m_at += c == u'\r' && next == u'\n' ? 2 : 1;
                m_out.text += u'\n';
                m_out.text += m_indent;
            } else if (c == u'$') {
                if (!readDollar(within))
                    return false;
            } else {
                m_out.text += c;
                ++m_at;
            }
        }
        return within == Within::Body;
    }

    bool readDollar(Within within) {
        const qsizetype dollar = m_at;
        const QChar next = peek(m_at + 1);
        if (isDigit(next)) {
            m_at = dollar + 1;
            int number = 0;
            if (!readNumber(&number))
                return false;
            if (within == Within::Default)
                return fail("A place inside a default", dollar);
            return addPlace(number, length(), dollar);
        }
        if (next == u'{')
            return readBraced(within, dollar);
        if (isNameStart(next)) {
            const qsizetype nameEnd = nameEndFrom(dollar + 1);
            if (const QString *value = variable(m_body.sliced(dollar + 1, nameEnd - dollar - 1))) {
                m_out.text += withPlainBreaks(*value);
                m_at = nameEnd;
                return true;
            }
        }
        // A "$" that starts nothing is text, as in "$(" or "$x" in a script.
        m_out.text += u'$';
        ++m_at;
        return true;
    }

    // "${" at `dollar`: a place or a variable, each with or without a default.
    bool readBraced(Within within, qsizetype dollar) {
        m_at = dollar + 2;
        const QChar first = peek(m_at);
        if (m_at >= m_body.size())
            return fail("Unclosed ${", dollar);
        if (isDigit(first)) {
            int number = 0;
            if (!readNumber(&number))
                return false;
            if (within == Within::Default)
                return fail("A place inside a default", dollar);
            const int start = length();
            if (!readClose(dollar))
                return false;
            return addPlace(number, start, dollar);
        }
        if (isNameStart(first)) {
            const qsizetype nameEnd = nameEndFrom(m_at);
            const QStringView name = m_body.sliced(m_at, nameEnd - m_at);
            const QString *value = variable(name);
            if (!value)
                return fail(QLatin1String("Unknown variable ") + name.toString(), m_at);
            m_at = nameEnd;
            const int start = length();
            if (!readClose(dollar))
                return false;
            // The default stands only for an empty variable.
            if (!value->isEmpty()) {
                m_out.text.truncate(start);
                m_out.text += withPlainBreaks(*value);
            }
            return true;
        }
        return fail("Expected a number or a variable after ${", dollar);
    }

    // The "}" that closes the "${" at `dollar`, or ":", a default and the "}".
    bool readClose(qsizetype dollar) {
        const QChar c = peek(m_at);
        if (c == u':') {
            ++m_at;
            if (!readText(Within::Default))
                return m_error.isEmpty() ? fail("Unclosed ${", dollar) : false;
        } else if (m_at >= m_body.size()) {
            return fail("Unclosed ${", dollar);
        } else if (c != u'}') {
            return fail("Expected } or :", m_at);
        }
        ++m_at; // the "}"
        return true;
    }

    bool readNumber(int *number) {
        const qsizetype start = m_at;
        while (isDigit(peek(m_at)))
            ++m_at;
        bool ok = false;
        *number = m_body.sliced(start, m_at - start).toInt(&ok);
        return ok || fail("Place number too large", start);
    }

    qsizetype nameEndFrom(qsizetype at) const {
        while (isNameCharacter(peek(at)))
            ++at;
        return at;
    }

    const QString *variable(QStringView name) const {
        for (const VariableName &known : VariableNames)
            if (name == known.name)
                return &(m_variables.*known.value);
        return nullptr;
    }

    // The place numbered `number` whose text (its default, already written) starts at
    // `start`; `dollar` is where it stands in the body, for an error.
    bool addPlace(int number, int start, qsizetype dollar) {
        if (number == 0) {
            if (m_finalCaret >= 0)
                return fail("A second $0", dollar);
            m_finalCaret = length();
            return true;
        }
        const auto first = m_firstText.constFind(number);
        const bool mirror = first != m_firstText.cend();
        if (mirror) {
            m_out.text.truncate(start);
            m_out.text += *first;
        } else {
            m_firstText.insert(number, m_out.text.sliced(start));
        }
        m_out.places.append(SnippetPlace{number, start, length(), mirror});
        return true;
    }

    QStringView m_body;
    const SnippetVariables &m_variables;
    QStringView m_indent;
    qsizetype m_at = 0;
    FilledSnippet m_out;
    int m_finalCaret = -1;
    QHash<int, QString> m_firstText; // each number's first place's text, for its mirrors
    QString m_error;
};

} // namespace

std::optional<FilledSnippet> fillSnippet(QStringView body, const SnippetVariables &variables,
                                         QStringView indent, QString *error) {
    SnippetFiller filler(body, variables, indent);
    const bool filled = filler.fill();
    if (error)
        *error = filler.error();
    if (!filled)
        return std::nullopt;
    return filler.take();
}

} // namespace vellumo
