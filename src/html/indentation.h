#pragma once

#include "html/html_lexer.h"

#include <QString>
#include <QStringView>

namespace vellumo {

// The tabs and spaces a line starts with.
QStringView leadingIndentation(QStringView line);

// Whether a line broken after `before` (a line's text up to the caret, lexed from
// `start`, the lexer's state where `before` begins) goes on one level deeper: after
// a start tag of a block element left open at its end (`<ul>`, `<div class="x">`),
// after a '{' that ends it in a style or a script, and inside a tag that goes on to
// the next line. `element` receives the name of that open element (lower case), or
// nothing.
bool opensLevel(QStringView before, HtmlLexState start, QString *element = nullptr);

// One level of indentation less than `indentation`: its last tab, or the spaces
// after it (as many as `unit` holds when the levels are spaces, all of them when
// they are tabs); `indentation` itself when it has none.
QStringView oneLevelLess(QStringView indentation, QStringView unit);

} // namespace vellumo
