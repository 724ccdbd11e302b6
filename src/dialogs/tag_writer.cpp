#include "dialogs/tag_writer.h"

namespace vellumo {

TagWriter &TagWriter::literal(const QString &upper) {
    m_text += m_style.upper ? upper : upper.toLower();
    return *this;
}

TagWriter &TagWriter::text(const QString &value) {
    m_text += value;
    return *this;
}

TagWriter &TagWriter::quotedValue(const QString &value) {
    m_text += m_style.quote + value + m_style.quote;
    return *this;
}

TagWriter &TagWriter::quoted(const QString &piece, const QString &value) {
    return literal(piece).quotedValue(value);
}

TagWriter &TagWriter::quotedIfFilled(const QString &piece, const QString &value) {
    return value.isEmpty() ? *this : quoted(piece, value);
}

TagWriter &TagWriter::unquoted(const QString &piece, const QString &value) {
    return literal(piece).text(value);
}

TagWriter &TagWriter::unquotedIfFilled(const QString &piece, const QString &value) {
    return value.isEmpty() ? *this : unquoted(piece, value);
}

TagWriter &TagWriter::lineBreak() {
    m_text += QLatin1Char('\n');
    return *this;
}

} // namespace vellumo
