#include "widgets/fixed_dialog.h"

#include <QDialog>
#include <QScreen>

namespace vellumo {

void setUpFixedDialog(QDialog *dialog, const QString &objectName, const QString &caption) {
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(caption);
    dialog->setModal(true);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setSizeGripEnabled(false);
}

void centreOnScreen(QWidget *window, const QWidget *reference) {
    const QScreen *where = reference != nullptr ? reference->screen() : window->screen();
    if (where == nullptr)
        return;
    const QRect frame = window->frameGeometry();
    window->move(where->availableGeometry().center() -
                 QPoint(frame.width() / 2, frame.height() / 2));
}

} // namespace vellumo
