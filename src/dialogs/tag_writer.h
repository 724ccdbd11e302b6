#pragma once

#include <QString>

namespace vellumo {

// The two choices that shape every snippet, read from the insertion core at the
// moment OK is pressed.
struct MarkupStyle {
    bool upper = true;
    QString quote = QStringLiteral("\"");
};

// Composes one snippet piece by piece in the chosen tag case. Markup literals are
// given in their upper-case form and written in lower case when that case is
// chosen; values typed by the user are always written exactly as they are, never
// trimmed, escaped or converted.
class TagWriter {
public:
    explicit TagWriter(const MarkupStyle &style)
        : m_style(style) {}

    // A markup literal such as "<IMG SRC=" or " NOSHADE".
    TagWriter &literal(const QString &upper);
    // Text that is the same in both cases: the user's values, ">", "mailto:".
    TagWriter &text(const QString &value);
    // The value between two attribute quotes.
    TagWriter &quotedValue(const QString &value);
    // An attribute piece such as " ALT=" followed by the quoted value.
    TagWriter &quoted(const QString &piece, const QString &value);
    // The same, left out entirely when the value is the empty text (spaces count).
    TagWriter &quotedIfFilled(const QString &piece, const QString &value);
    // An attribute piece followed directly by the value, without quotes.
    TagWriter &unquoted(const QString &piece, const QString &value);
    TagWriter &unquotedIfFilled(const QString &piece, const QString &value);
    // Ends a line of a snippet of several lines; one character in the editor.
    TagWriter &lineBreak();

    QString result() const { return m_text; }

private:
    MarkupStyle m_style;
    QString m_text;
};

} // namespace vellumo
