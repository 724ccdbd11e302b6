#pragma once

// How an abbreviation reads: the pieces it is made of, for the writer in abbreviation.cpp.

#include "html/abbreviation.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace vellumo::abbreviation {

struct Attribute {
    QString name;
    QString value;
    bool field = false; // a place to fill: its value is the usual one or empty
};

// One piece of a read abbreviation. Node 0 is the group of the whole abbreviation; a node's
// children always come after it.
struct Node {
    enum class Kind : std::uint8_t { Element, Text, Lorem, Group };
    Kind kind = Kind::Element;
    QString name; // in the style's case
    bool isVoid = false;
    bool isInline = false;
    QList<Attribute> attributes;
    QString text; // {text}; a Lorem's words once written
    int loremWords = 0;
    int copies = 1;
    bool copied = false; // has "*N": its copies number what is inside them
    std::vector<int> children;
    // Worked out once the whole abbreviation is read:
    bool writes = false;        // writes anything at all (not all its copies are "*0")
    bool writesBlock = false;   // writes a block element, or one whose contents break lines
    bool contentsWrite = false; // any of its contents writes anything
    bool breaksLines = false;   // its contents go on lines of their own
};

// The pieces of `source`, node 0 holding the rest, with names and attribute names already in
// `style`'s case; false with a reason in `error` when it is malformed.
bool readAbbreviation(QStringView source, const AbbreviationStyle &style, std::vector<Node> *nodes,
                      QString *error);

} // namespace vellumo::abbreviation
