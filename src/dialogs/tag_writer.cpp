#include "dialogs/tag_writer.h"

namespace vellumo {

namespace {

// The reference for a quote character inside a value quoted with it.
QString quoteReference(const QString &quote) {
    if (quote == u"\"")
        return QStringLiteral("&quot;");
    if (quote == u"'")
        return QStringLiteral("&#39;");
    return {};
}

} // namespace

QString attributeValueText(const QString &value, const QString &quote) {
    const QString reference = quoteReference(quote);
    if (reference.isEmpty() || !value.contains(quote))
        return value;
    return QString(value).replace(quote, reference);
}

QString quotedAttributeValue(const QString &value, const QString &quote) {
    return quote + attributeValueText(value, quote) + quote;
}

QString unquotedAttributeValue(const QString &value, const QString &quote) {
    // What HTML does not allow in a value written without quotes.
    static const QString breaking = QStringLiteral("\"'=<>`");
    for (const QChar c : value)
        if (c.isSpace() || breaking.contains(c))
            return quotedAttributeValue(value, quote);
    return value;
}

QString scriptStringValue(const QString &value, const QString &quote) {
    QString written;
    written.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\' || (!quote.isEmpty() && c == quote.front()))
            written += u'\\';
        written += c;
    }
    return written;
}

QString scriptStringText(QStringView written) {
    QString value;
    value.reserve(written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (written.at(i) == u'\\' && i + 1 < written.size())
            ++i;
        value += written.at(i);
    }
    return value;
}

TagWriter &TagWriter::literal(const QString &upper) {
    m_text += m_style.upper ? upper : upper.toLower();
    return *this;
}

TagWriter &TagWriter::text(const QString &value) {
    m_text += value;
    return *this;
}

TagWriter &TagWriter::quotedValue(const QString &value) {
    m_text += quotedAttributeValue(value, m_style.quote);
    return *this;
}

TagWriter &TagWriter::quoted(const QString &piece, const QString &value) {
    return literal(piece).quotedValue(value);
}

TagWriter &TagWriter::quotedIfFilled(const QString &piece, const QString &value) {
    return value.isEmpty() ? *this : quoted(piece, value);
}

TagWriter &TagWriter::unquoted(const QString &piece, const QString &value) {
    return literal(piece).text(unquotedAttributeValue(value, m_style.quote));
}

TagWriter &TagWriter::unquotedIfFilled(const QString &piece, const QString &value) {
    return value.isEmpty() ? *this : unquoted(piece, value);
}

TagWriter &TagWriter::lineBreak() {
    m_text += QLatin1Char('\n');
    return *this;
}

} // namespace vellumo
