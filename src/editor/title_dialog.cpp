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

    Label1 = new QLabel(QStringLiteral("Page title:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);
    Button1 = new QPushButton(QStringLiteral("O&K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("C&ancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1, 1, 2);
    layout->addWidget(Button1, 1, 1);
    layout->addWidget(Button2, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(205);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, [this] { done(CancelledByButton); });
}

QString TForm2::title() const {
    return Edit1->text();
}

void TForm2::clearTitle() {
    Edit1->clear();
}

void TForm2::changeEvent(QEvent *event) {
    // The title field has the focus whenever the dialog becomes active.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Edit1->setFocus(Qt::ActiveWindowFocusReason);
    QDialog::changeEvent(event);
}

void TForm2::keyPressEvent(QKeyEvent *event) {
    // Escape is the C&ancel button, as a user expects of a dialog with one.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button2->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vellumo
