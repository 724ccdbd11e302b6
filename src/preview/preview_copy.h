#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace vellumo {

// The attribute the preview's copy of a page gives each start tag: the line the tag
// starts on, counted from 1. The page itself never holds it.
inline const QString PreviewLineAttribute = QStringLiteral("data-vellumo-line");

// The copy of the page the preview renders: UTF-8 behind a byte-order mark (which
// a browser trusts before any charset the page declares, so the editor's text is
// read as what it is), every start tag marked with its line, except those of the
// head that draw nothing.
QByteArray previewCopy(QStringView page);

// A script for that copy: scrolls the element that starts nearest at or before
// `line` into view (as little as needed) and returns the line it starts on, or -1.
QString followCaretScript(int line);

} // namespace vellumo
