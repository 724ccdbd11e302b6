#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStyle>

class QWidget;

namespace vellumo {

// A small picture of `text` drawn in `colour`: the faces of the toolbar buttons and
// of the character palette, drawn at run time so that no image files are needed.
// It is drawn when a button is first painted at a size, so the faces on palette
// pages nobody opens cost nothing.
QIcon glyphIcon(const QString &text, const QColor &colour = Qt::black, bool bold = true,
                bool italic = false, bool underline = false);

// Four lines of text set flush left, centred or flush right: the alignment buttons' faces.
QIcon alignmentIcon(Qt::Alignment alignment);

// The style's icon for `which`, looked up once per run: the style searches the
// icon theme's folders at every call, and the dialogs and the file browser show
// the same few icons many times.
QIcon styleIcon(const QWidget *widget, QStyle::StandardPixmap which);

} // namespace vellumo
