#pragma once

#include "editor/insertion_core.h"
#include "editor/tag_at_caret.h"

#include <QList>
#include <QString>

#include <functional>

namespace vellumo {

class ElementDialog;

// Whether an element's text can go into a dialog's text field and come back: one
// line without markup. Other text stays as it is, whatever the dialog writes.
bool isPlainElementText(const QString &text);

// The edits that turn `element` into what a dialog writes for it. `before` is the
// dialog's markup for its fields as they were filled from the element, `after` its
// markup as the user left them; only what differs between the two reaches the page:
// - an attribute whose written form changed is written as the dialog writes it (the
//   page's tag case and quote), in the place of the one the element had or, when the
//   element had none, after the others the dialog writes;
// - an attribute the dialog writes the same as before stays as it was, byte for byte,
//   or stays out when the element did not have it;
// - an attribute the dialog wrote before and no longer writes is dropped;
// - every other attribute stays verbatim, in its order, after the ones the dialog writes;
// - with `writesText`, a changed text replaces the element's text when that text is
//   plain (isPlainElementText); otherwise the element's text stays.
// A dialog that now writes another element (a form field of another type) puts its
// whole markup in the place of the start tag; the element's content stays after it.
// Nothing at all when the two markups are the same.
QList<RangeEdit> elementEdits(const PageElement &element, const QString &before,
                              const QString &after, bool writesText);

// The object name of the dialog that writes `tag`'s element ("Form5" for IMG), the
// one whose markup it matches best where two could; empty when no dialog writes it.
// (A script the Scrolling Text or Page Transfer dialog wrote is theirs: editTagAtCaret
// asks them.)
QString dialogForTag(const StartTag &tag);

// Edit Tag: opens the dialog that writes the element found at the caret on that
// element (see ElementDialog::editElement). `dialogNamed` finds a dialog by its object
// name. Returns what the status bar says when no dialog opens, or the empty text.
QString editTagAtCaret(const ElementSearch &search,
                       const std::function<ElementDialog *(const QString &)> &dialogNamed);

} // namespace vellumo
