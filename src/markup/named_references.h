#pragma once

#include <QString>
#include <QStringView>

#include <span>

namespace vellumo {

// One of HTML's named character references: `&name;` stands for `characters`.
struct NamedReference {
    const char *name;           // without '&' and ';', as HTML spells it (case matters)
    const char16_t *characters; // one or two code points
    bool html4;                 // one of HTML 4's 252 names, the spelling older pages know
};

// Every named reference of HTML (2,125), sorted by name in byte order.
std::span<const NamedReference> namedReferences();

// The characters `name` (without '&' and ';') stands for; empty when HTML has no such name.
QString charactersOfReference(QStringView name);

// The name to write for the single code point `c`: HTML 4's name when it has one, else the
// shortest of HTML's (the first in byte order among equals); empty when there is none.
QString referenceNameOf(char32_t c);

} // namespace vellumo
