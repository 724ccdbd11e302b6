#include "dialogs/sound_dialog.h"

#include "widgets/glyph_icon.h"
#include "widgets/number_field.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString backgroundSoundTag(const SoundFields &fields, const MarkupStyle &style) {
    TagWriter writer(style);
    writer.quoted(QStringLiteral("<BGSOUND SRC="), fields.source);
    if (fields.infinite)
        writer.literal(QStringLiteral(" LOOP=INFINITE"));
    else
        writer.unquoted(QStringLiteral(" LOOP="), fields.loop);
    return writer.text(QStringLiteral(">")).result();
}

TForm11::TForm11(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          DialogTraits{QStringLiteral("Form11"), QStringLiteral("Music/Sound Effects"), 41, true},
          parent)
    , m_source(makeTextField(body(), QStringLiteral("Edit1")))
    , m_browse(makeBrowseButton(body()))
    , m_loop(makeDigitsField(body(), QStringLiteral("MultiBaseEdit1"), QStringLiteral("UpDown1")))
    , m_infinite(new QCheckBox(QStringLiteral("Infinite"), body())) {
    m_infinite->setObjectName(QStringLiteral("CheckBox1"));
    m_infinite->setChecked(true);
    m_source->setMinimumWidth(200);
    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Source"), body()), 0, 0);
    grid->addWidget(m_source, 0, 1, 1, 2);
    grid->addWidget(m_browse, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Loop"), body()), 1, 0);
    grid->addWidget(m_loop, 1, 1);
    grid->addWidget(m_infinite, 1, 2);
    setPicture(glyphIcon(QStringLiteral("\u266B"), QColor(0, 0, 128), false).pixmap(32, 32));
    setBevelled();
    setKeyboardOrder({m_source, m_browse, m_loop->edit(), m_infinite});
    connect(okButton(), &QPushButton::clicked, this, &TForm11::Button1Click);
    connect(m_browse, &QPushButton::clicked, this, &TForm11::BitBtn1Click);
    connect(m_loop->edit(), &QLineEdit::textChanged, this, &TForm11::MultiBaseEdit1Change);
}

SoundFields TForm11::fields() const {
    return SoundFields{m_source->text(), m_loop->text(), m_infinite->isChecked()};
}

QList<AttributeField> TForm11::attributeFields() const {
    return {{QStringLiteral("SRC"), m_source}};
}

QString TForm11::markup() const {
    return backgroundSoundTag(fields(), markupStyle());
}

void TForm11::fillFromElement(const PageElement &element) {
    ElementDialog::fillFromElement(element);
    fillLoop(element, m_loop, m_infinite);
}

void TForm11::Button1Click() {
    insertAndClose(backgroundSoundTag(fields(), markupStyle()));
}

void TForm11::BitBtn1Click() {
    FileChooserRequest request;
    request.filters = {QStringLiteral("Sound Files (*.mid *.wav)"),
                       QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("mid");
    request.mustExist = true;
    browse(m_source, request, m_source);
}

void TForm11::MultiBaseEdit1Change() {
    m_infinite->setChecked(false);
}

void TForm11::FormActivate() {
    m_source->setFocus(Qt::OtherFocusReason);
}

void TForm11::FormCloseQuery() {
    m_source->clear();
    m_loop->setText(QStringLiteral("0"));
    // After the Loop reset, whose change would uncheck it.
    m_infinite->setChecked(true);
}

} // namespace vellumo
