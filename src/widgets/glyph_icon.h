#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace vellumo {

// A small picture of `text` drawn in `colour`: the faces of the toolbar buttons and
// of the character palette, drawn at run time so that no image files are needed.
QIcon glyphIcon(const QString &text, const QColor &colour = Qt::black, bool bold = true,
                bool italic = false, bool underline = false);

} // namespace vellumo
