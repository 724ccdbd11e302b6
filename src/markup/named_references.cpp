#include "markup/named_references.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace vellumo {

namespace {

constexpr NamedReference references[] = {
#include "markup/named_references_table.inc"
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

QString charactersOfReference(QStringView name) {
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

} // namespace vellumo
