#include "dialogs/font_dialog.h"

#include "widgets/glyph_icon.h"
#include "widgets/number_field.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {
const QString EndTag = QStringLiteral("</FONT>");
}

QString fontElement(const FontFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<FONT"))
        .quotedIfFilled(QStringLiteral(" SIZE="), fields.size)
        .quotedIfFilled(QStringLiteral(" FACE="), fields.face)
        .quotedIfFilled(QStringLiteral(" COLOR="), fields.colour)
        .text(QStringLiteral(">"))
        .literal(EndTag)
        .result();
}

TForm19::TForm19(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form19"), QStringLiteral("Font"), 43, false},
                    parent)
    , m_face(makeListField(body(), QStringLiteral("ComboBox1"), {}))
    , m_size(new NumberField(QStringLiteral("Edit1"), QStringLiteral("UpDown1"), 0, 100, body()))
    , m_colour(
          makeListField(body(), QStringLiteral("ComboBox2"),
                        {QStringLiteral("Aqua"), QStringLiteral("Black"), QStringLiteral("Blue"),
                         QStringLiteral("Fuchsia"), QStringLiteral("Gray"), QStringLiteral("Green"),
                         QStringLiteral("Lime"), QStringLiteral("Maroon"), QStringLiteral("Navy"),
                         QStringLiteral("Olive"), QStringLiteral("Purple"), QStringLiteral("Red"),
                         QStringLiteral("Silver"), QStringLiteral("Teal"), QStringLiteral("White"),
                         QStringLiteral("Yellow")})) {
    // The arrows' starting position; once the dialog has closed the field stays empty.
    m_size->setText(QStringLiteral("0"));
    m_face->setMinimumWidth(200);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Font"), m_face);
    form->addRow(QStringLiteral("Size"), m_size);
    form->addRow(QStringLiteral("Color"), m_colour);
    setPicture(glyphIcon(QStringLiteral("F"), Qt::red, true, true).pixmap(32, 32));
    setBevelled();
    setKeyboardOrder({m_face, m_size->edit(), m_colour});
    connect(okButton(), &QPushButton::clicked, this, &TForm19::Button1Click);
}

FontFields TForm19::fields() const {
    return FontFields{m_size->text(), m_face->currentText(), m_colour->currentText()};
}

QList<AttributeField> TForm19::attributeFields() const {
    return {{QStringLiteral("SIZE"), m_size},
            {QStringLiteral("FACE"), m_face},
            {QStringLiteral("COLOR"), m_colour}};
}

QString TForm19::markup() const {
    return fontElement(fields(), markupStyle());
}

void TForm19::Button1Click() {
    insertAndClose(fontElement(fields(), markupStyle()), static_cast<int>(EndTag.size()));
}

void TForm19::FormShow() {
    // Fonts installed since the last opening show up at once.
    const QString typed = m_face->currentText();
    m_face->clear();
    m_face->addItems(platform().fontFamilies());
    clearListField(m_face);
    m_face->setEditText(typed);
}

void TForm19::FormActivate() {
    m_face->setFocus(Qt::OtherFocusReason);
}

void TForm19::FormCloseQuery() {
    clearListField(m_face);
    clearListField(m_colour);
    m_size->clear();
}

} // namespace vellumo
