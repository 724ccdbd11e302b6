#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace vellumo {

// Snippet bodies: the text a snippet's trigger word becomes, with places to fill in the
// syntax people know from other editors:
//
//   ${1:default}  a place holding default text; the default may hold variables and escapes,
//                 but no place of its own
//   ${2}  $2      an empty place
//   $1 again      a mirror: the text of the first place numbered 1, and whatever is typed
//                 there (a later occurrence's own default is ignored)
//   $0  ${0}      where the caret ends once the places are done; ${0:text} puts the text
//                 there and the caret after it. Only one $0 in a body.
//   $SELECTION    a variable (also ${SELECTION}); ${SELECTION:text} gives the text when
//                 the variable is empty. The variables: SELECTION, CLIPBOARD, DATE,
//                 FILENAME, TITLE.
//   \$ \} \\      a literal $, } or \. A backslash before anything else is itself, so
//                 script in a body keeps its "\n" and its regular expressions.
//
// A "$" that starts none of these ("$(", "$x", "$HOME") is text, and so are braces outside
// a ${...}, so script and style bodies need no escaping beyond "$" before a digit or "{".

// Values of a snippet's variables, given by the editor when it expands one.
struct SnippetVariables {
    QString selection, clipboard, date, fileName, title;
};

// A place to fill: [start, end) in the filled text, its number, and whether it mirrors an
// earlier place of the same number (typing in the first place of a number is to be copied
// to its mirrors).
struct SnippetPlace {
    int number = 0;
    int start = 0;
    int end = 0;
    bool mirror = false;

    friend bool operator==(const SnippetPlace &, const SnippetPlace &) = default;
};

// A body filled in: its text, its places in Tab order (by number, 1, 2, ..., each first
// place followed by its mirrors in the order they stand), and where the caret ends ($0, or
// the end of the text). $0 is not a place.
struct FilledSnippet {
    QString text;
    QList<SnippetPlace> places;
    int finalCaret = 0;
};

// `body` filled in with `variables`, or nothing when it is malformed (an unclosed "${", a
// "${" followed by neither a number nor a variable, a place inside a default, a second $0),
// with a short reason in `error` ("Unclosed ${ at 12", counting characters from 1).
//
// Every line of the body after the first gets `indent` (the indentation of the line the
// trigger was typed on) put before it; the places and the caret count it. Line breaks inside
// a variable's value get none: a selection or a pasted text keeps the indentation it has.
// Line breaks come out as "\n" alone, from the body and the variables alike, so the places
// count one character per break, as the editor does.
std::optional<FilledSnippet> fillSnippet(QStringView body, const SnippetVariables &variables,
                                         QStringView indent = {}, QString *error = nullptr);

} // namespace vellumo
