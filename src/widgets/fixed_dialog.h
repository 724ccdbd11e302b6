#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace vellumo {

// Names and captions a modal dialog and gives it a fixed frame: no resizing, no
// minimise or maximise box, only the close box.
void setUpFixedDialog(QDialog *dialog, const QString &objectName, const QString &caption);

// Places a window in the middle of the screen it is on (or `reference`'s screen).
void centreOnScreen(QWidget *window, const QWidget *reference = nullptr);

} // namespace vellumo
