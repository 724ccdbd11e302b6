#include "widgets/fixed_dialog.h"

#include <QDialog>

namespace vellumo {

void setUpFixedDialog(QDialog *dialog, const QString &objectName, const QString &caption)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(caption);
    dialog->setModal(true);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setSizeGripEnabled(false);
}

} // namespace vellumo
