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

// The characters a reference stands for, as a browser reads it: `body` is what stands
// between '&' and ';', a name ("eacute", case matters) or a number ("#233", "#xE9"; 128 to
// 159 are windows-1252's characters, as old pages meant them). Empty when it stands for
// nothing: a name HTML does not know, a surrogate, a noncharacter or a number past Unicode.
QString charactersOfReference(QStringView body);

// `text` with its character references (each with its ';') turned into their characters;
// everything else as it is. The one decoder of the program: links, tag values, the
// conversions and completion read references through it.
QString decodeCharacterReferences(QStringView text);

// The name to write for the single code point `c`: HTML 4's name when it has one, else the
// shortest of HTML's (the first in byte order among equals); empty when there is none.
QString referenceNameOf(char32_t c);

} // namespace vellumo
