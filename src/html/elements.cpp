#include "html/elements.h"

#include <QHash>
#include <QSet>

namespace vellumo {

namespace {

constexpr std::array<std::u16string_view, 23> VoidElements{
    u"area",  u"base",   u"basefont", u"bgsound", u"br",     u"col",     u"command", u"embed",
    u"frame", u"hr",     u"image",    u"img",     u"input",  u"isindex", u"keygen",  u"link",
    u"meta",  u"nextid", u"param",    u"source",  u"spacer", u"track",   u"wbr",
};

// The elements that sit inside a line of text; every other element is a block and makes the
// element around it put its contents on lines of their own.
constexpr std::array<std::u16string_view, 35> InlineElements{
    u"a",    u"abbr", u"b",        u"bdi",  u"bdo",    u"big",   u"br",    u"button", u"cite",
    u"code", u"dfn",  u"em",       u"font", u"i",      u"img",   u"input", u"kbd",    u"label",
    u"mark", u"q",    u"s",        u"samp", u"select", u"small", u"span",  u"strike", u"strong",
    u"sub",  u"sup",  u"textarea", u"time", u"tt",     u"u",     u"var",   u"wbr",
};

struct OptionalEnd {
    const char *elements; // whose end tag may be left out
    const char *closers;  // the start tags of a following sibling that close them
};

constexpr std::array<OptionalEnd, 10> OptionalEnds{{
    {"p", "address article aside blockquote center dd details dialog dir div dl dt fieldset "
          "figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr li listing main menu "
          "nav ol p plaintext pre search section table ul xmp"},
    {"li", "li"},
    {"dt dd", "dt dd"},
    {"option", "option optgroup"},
    {"optgroup", "optgroup"},
    {"tr", "tr tbody thead tfoot"},
    {"td th", "td th tr tbody thead tfoot"},
    {"thead tbody tfoot", "tbody tfoot"},
    {"rb rt rtc rp", "rb rt rtc rp"},
    {"head colgroup", "body colgroup thead tbody tfoot tr"},
}};

// `name` in any case is `lower`.
bool sameName(QStringView name, std::u16string_view lower) {
    if (std::size_t(name.size()) != lower.size())
        return false;
    for (std::size_t k = 0; k < lower.size(); ++k) {
        char16_t c = name.at(qsizetype(k)).unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
        if (c != lower[k])
            return false;
    }
    return true;
}

// The elements a start tag `closer` closes when one of them is open at its level.
const QHash<QString, QSet<QString>> &closedBy() {
    static const QHash<QString, QSet<QString>> table = [] {
        QHash<QString, QSet<QString>> result;
        for (const OptionalEnd &row : OptionalEnds) {
            const QStringList elements = QString::fromLatin1(row.elements).split(u' ');
            for (const QString &closer : QString::fromLatin1(row.closers).split(u' '))
                for (const QString &element : elements)
                    result[closer].insert(element);
        }
        return result;
    }();
    return table;
}

} // namespace

bool isInlineElement(QStringView name) {
    for (const std::u16string_view element : InlineElements)
        if (name.compare(QStringView(element), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isVoidElement(QStringView name) {
    for (const std::u16string_view element : VoidElements)
        if (sameName(name, element))
            return true;
    return false;
}

HtmlLexState::Raw rawTextOf(QStringView name) {
    for (const RawTextElement &element : RawTextElements)
        if (sameName(name, element.name))
            return element.raw;
    return HtmlLexState::Raw::None;
}

bool closesOptionalEnd(const QString &closer, const QString &element) {
    const auto it = closedBy().constFind(closer);
    return it != closedBy().cend() && it->contains(element);
}

} // namespace vellumo
