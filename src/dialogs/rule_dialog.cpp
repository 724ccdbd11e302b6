#include "dialogs/rule_dialog.h"

#include "widgets/number_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString ruleTag(const RuleFields &fields, const MarkupStyle &style) {
    TagWriter writer(style);
    writer.literal(QStringLiteral("<HR"))
        .quotedIfFilled(QStringLiteral(" ALIGN="), fields.align)
        .quotedIfFilled(QStringLiteral(" SIZE="), fields.size)
        .quotedIfFilled(QStringLiteral(" WIDTH="), fields.width);
    if (fields.noShading)
        writer.literal(QStringLiteral(" NOSHADE"));
    return writer.text(QStringLiteral(">")).result();
}

TForm6::TForm6(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          DialogTraits{QStringLiteral("Form6"), QStringLiteral("Horizontal Rule"), 44, true},
          parent)
    , m_width(new NumberField(QStringLiteral("Edit1"), QStringLiteral("UpDown1"), 0, 100, body()))
    , m_size(new NumberField(QStringLiteral("Edit2"), QStringLiteral("UpDown2"), 0, 100, body()))
    , m_align(makeListField(
          body(), QStringLiteral("ComboBox1"),
          {QStringLiteral("CENTER"), QStringLiteral("RIGHT"), QStringLiteral("LEFT")}))
    , m_noShading(new QCheckBox(QStringLiteral("No Shading"), body())) {
    m_noShading->setObjectName(QStringLiteral("CheckBox1"));
    m_width->setText(QStringLiteral("0"));
    m_size->setText(QStringLiteral("0"));

    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Width"), m_width);
    form->addRow(QStringLiteral("Size"), m_size);
    form->addRow(QStringLiteral("Align"), m_align);
    form->addRow(QString(), m_noShading);

    setKeyboardOrder({m_width->edit(), m_size->edit(), m_align, m_noShading});
    connect(okButton(), &QPushButton::clicked, this, &TForm6::Button1Click);
}

RuleFields TForm6::fields() const {
    return RuleFields{m_width->text(), m_size->text(), m_align->currentText(),
                      m_noShading->isChecked()};
}

QList<AttributeField> TForm6::attributeFields() const {
    return {{QStringLiteral("WIDTH"), m_width},
            {QStringLiteral("SIZE"), m_size},
            {QStringLiteral("ALIGN"), m_align},
            {QStringLiteral("NOSHADE"), m_noShading}};
}

QString TForm6::markup() const {
    return ruleTag(fields(), markupStyle());
}

void TForm6::Button1Click() {
    insertAndClose(ruleTag(fields(), markupStyle()));
}

void TForm6::FormActivate() {
    m_width->clear();
    m_size->clear();
    m_width->setFocus(Qt::OtherFocusReason);
}

void TForm6::FormCloseQuery() {
    m_width->clear();
    m_size->clear();
    m_noShading->setChecked(false);
    clearListField(m_align);
}

} // namespace vellumo
