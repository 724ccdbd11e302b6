#pragma once

#include <QString>

class QDialog;

namespace vellumo {

// Names and captions a modal dialog and gives it a fixed frame: no resizing, no
// minimise or maximise box, only the close box.
void setUpFixedDialog(QDialog *dialog, const QString &objectName, const QString &caption);

} // namespace vellumo
