#include "editor/title_dialog.h"

#include "widgets/fixed_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

TForm2::TForm2(QWidget *parent)
    : QDialog(parent) {
    setUpFixedDialog(this, QStringLiteral("Form2"), QStringLiteral("Title"));

    prompt = new QLabel(QStringLiteral("Page title:"), this);
    prompt->setObjectName(QStringLiteral("Label1"));
    titleField = new QLineEdit(this);
    titleField->setObjectName(QStringLiteral("Edit1"));
    prompt->setBuddy(titleField);
    okButton = new QPushButton(QStringLiteral("O&K"), this);
    okButton->setObjectName(QStringLiteral("Button1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("C&ancel"), this);
    cancelButton->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0);
    layout->addWidget(titleField, 0, 1, 1, 2);
    layout->addWidget(okButton, 1, 1);
    layout->addWidget(cancelButton, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(205);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(CancelledByButton); });
}

QString TForm2::title() const {
    return titleField->text();
}

void TForm2::clearTitle() {
    titleField->clear();
}

void TForm2::changeEvent(QEvent *event) {
    // The title field has the focus whenever the dialog becomes active.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        titleField->setFocus(Qt::ActiveWindowFocusReason);
    QDialog::changeEvent(event);
}

void TForm2::keyPressEvent(QKeyEvent *event) {
    // Escape is the C&ancel button, as a user expects of a dialog with one.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vellumo
