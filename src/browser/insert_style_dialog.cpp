#include "browser/insert_style_dialog.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumo {

namespace {

// The help page that describes the Link to File tab and this dialog.
constexpr int SidePanelHelpTopic = 56;

DialogTraits insertStyleTraits() {
    DialogTraits traits;
    traits.objectName = QStringLiteral("Form3");
    traits.caption = QStringLiteral("Select Insert Style");
    traits.helpTopic = SidePanelHelpTopic;
    return traits;
}

} // namespace

TForm3::TForm3(DialogContext &context, QWidget *parent)
    : ElementDialog(context, insertStyleTraits(), parent) {
    prompt = new QLabel(QStringLiteral("Select which insert style you want to use"), body());
    prompt->setObjectName(QStringLiteral("Label1"));
    styleBox =
        makeListField(body(), QStringLiteral("ComboBox1"),
                      {QStringLiteral("Hyper Link"), QStringLiteral("Image"),
                       QStringLiteral("Background Sound"), QStringLiteral("Pre-formated Text")});
    // The first showing offers a link without any item chosen yet; later showings
    // keep the last choice.
    styleBox->setEditText(QStringLiteral("Hyper Link"));
    prompt->setBuddy(styleBox);
    // Typed text chooses no item, whatever item was shown before; an item picked
    // from the list chooses it, also the one the box already showed before the typing.
    connect(styleBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_chosen = index; });
    connect(styleBox, &QComboBox::activated, this, [this](int index) { m_chosen = index; });
    connect(styleBox->lineEdit(), &QLineEdit::textEdited, this, [this] { m_chosen = -1; });
    auto *bevel = new QFrame(body());
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(prompt);
    layout->addWidget(styleBox);
    layout->addWidget(bevel);

    okButton()->setText(QStringLiteral("O&K"));
    cancelButton()->setText(QStringLiteral("C&ancel"));
    disconnect(cancelButton(), nullptr, this, nullptr);
    connect(okButton(), &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(cancelButton(), &QPushButton::clicked, this, &TForm3::Button2Click);
    setKeyboardOrder({styleBox});
}

FileInsertStyle TForm3::ask() {
    styleBox->setFocus(Qt::OtherFocusReason);
    exec();
    return InsertStyle;
}

void TForm3::Button1Click() {
    switch (m_chosen) {
    case 1:
        InsertStyle = FileInsertStyle::Image;
        break;
    case 2:
        InsertStyle = FileInsertStyle::Sound;
        break;
    case 3:
        InsertStyle = FileInsertStyle::Text;
        break;
    default:
        // Hyper Link, nothing chosen, or text typed into the box.
        InsertStyle = FileInsertStyle::Link;
        break;
    }
    accept();
}

void TForm3::Button2Click() {
    InsertStyle = FileInsertStyle::No;
    reject();
}

void TForm3::keyPressEvent(QKeyEvent *event) {
    // Escape is the keyboard's Cancel here; only the title bar's close box leaves
    // the style unset.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        Button2Click();
        return;
    }
    ElementDialog::keyPressEvent(event);
}

} // namespace vellumo
