#include "html/named_references.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>

namespace vellumo {

namespace {

constexpr NamedReference references[] = {
#include "html/named_references_table.inc"
};

bool nameLess(const char *a, QStringView b) {
    const auto length = static_cast<qsizetype>(std::strlen(a));
    for (qsizetype i = 0; i < length && i < b.size(); ++i)
        if (char16_t(a[i]) != b[i].unicode())
            return char16_t(a[i]) < b[i].unicode();
    return length < b.size();
}

// Code point -> index of its preferred name; built once, on first use.
const QHash<char32_t, int> &preferredNames() {
    static const QHash<char32_t, int> names = [] {
        QHash<char32_t, int> byCharacter;
        for (int i = 0; i < int(std::size(references)); ++i) {
            const QString characters = QString::fromUtf16(references[i].characters);
            const auto codePoints = characters.toUcs4();
            if (codePoints.size() != 1)
                continue;
            const auto found = byCharacter.constFind(codePoints.front());
            if (found == byCharacter.cend()) {
                byCharacter.insert(codePoints.front(), i);
                continue;
            }
            const NamedReference &held = references[*found];
            const NamedReference &candidate = references[i];
            const bool better = candidate.html4 != held.html4
                                    ? candidate.html4
                                    : std::strlen(candidate.name) < std::strlen(held.name);
            if (better)
                byCharacter[codePoints.front()] = i;
        }
        return byCharacter;
    }();
    return names;
}

} // namespace

std::span<const NamedReference> namedReferences() {
    return references;
}

namespace {

// What a numeric reference's number means to a browser: 128-159 are windows-1252's
// characters.
char32_t numericReferenceCharacter(char32_t n) {
    static constexpr std::array<char16_t, 32> windows1252 = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    if (n >= 0x80 && n <= 0x9F)
        return windows1252.at(n - 0x80);
    return n;
}

QString charactersOfNumber(QStringView body) {
    const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
    const QStringView digits = body.sliced(hex ? 2 : 1);
    if (digits.isEmpty())
        return {};
    char32_t n = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const char16_t lower = u | 0x20;
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (hex && lower >= u'a' && lower <= u'f')
            digit = lower - u'a' + 10;
        if (digit < 0)
            return {};
        n = n * (hex ? 16 : 10) + char32_t(digit);
        if (n > 0x10FFFF)
            return {};
    }
    if (n == 0 || n > 0x10FFFF || QChar::isSurrogate(n) || QChar::isNonCharacter(n))
        return {};
    const char32_t character = numericReferenceCharacter(n);
    return QString::fromUcs4(&character, 1);
}

} // namespace

QString charactersOfReference(QStringView body) {
    if (body.startsWith(u'#'))
        return charactersOfNumber(body);
    const QStringView name = body;
    const auto *found = std::lower_bound(std::begin(references), std::end(references), name,
                                         [](const NamedReference &reference, QStringView key) {
                                             return nameLess(reference.name, key);
                                         });
    if (found == std::end(references) || QLatin1StringView(found->name) != name)
        return {};
    return QString::fromUtf16(found->characters);
}

QString referenceNameOf(char32_t c) {
    const auto &names = preferredNames();
    const auto found = names.constFind(c);
    return found == names.cend() ? QString() : QString::fromLatin1(references[*found].name);
}

QString decodeCharacterReferences(QStringView text) {
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // HTML's longest name has 31 characters.
        const qsizetype semicolon = text.at(i) == u'&' ? text.indexOf(u';', i + 1) : qsizetype(-1);
        if (semicolon > i + 1 && semicolon - i <= 40) {
            const QString characters = charactersOfReference(text.sliced(i + 1, semicolon - i - 1));
            if (!characters.isEmpty()) {
                out += characters;
                i = semicolon;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

} // namespace vellumo
