#pragma once

#include <QString>

namespace vellumo {

// The two choices that shape every snippet, read from the insertion core at the
// moment OK is pressed.
struct MarkupStyle {
    bool upper = true;
    QString quote = QStringLiteral("\"");
};

// A value as it stands between two attribute quotes: the quote character itself
// becomes its reference (&quot; or &#39;) so it cannot end the value early.
// Nothing else is touched: an "&" the user typed may be a reference they meant.
QString attributeValueText(const QString &value, const QString &quote);
// The value between two quotes, ready to follow "=".
QString quotedAttributeValue(const QString &value, const QString &quote);
// A value written without quotes (a number such as WIDTH=120) stays bare; one that
// would break the tag bare (a space, a quote, "=", "<", ">" or "`") is quoted.
QString unquotedAttributeValue(const QString &value, const QString &quote);
// A value inside a script's string literal written between `quote`s: the quote and
// the backslash are escaped with a backslash, so the string ends where it should
// and holds exactly what was typed.
QString scriptStringValue(const QString &value, const QString &quote);
// The value scriptStringValue() wrote as `written`: every backslash takes the
// character after it as it is.
QString scriptStringText(QStringView written);

// Composes one snippet piece by piece in the chosen tag case. Markup literals are
// given in their upper-case form and written in lower case when that case is
// chosen; values typed by the user are written as they are, never trimmed or
// converted; only what would end their attribute early is escaped or quoted.
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
    // An attribute piece followed directly by the value, without quotes unless the
    // value needs them.
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
