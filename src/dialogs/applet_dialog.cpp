#include "dialogs/applet_dialog.h"

#include "widgets/number_field.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString appletElement(const AppletFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<APPLET"))
        .quotedIfFilled(QStringLiteral(" CODE="), fields.source)
        .unquotedIfFilled(QStringLiteral(" WIDTH="), fields.width)
        .unquotedIfFilled(QStringLiteral(" HEIGHT="), fields.height)
        .text(QStringLiteral(">"))
        .text(fields.message)
        .literal(QStringLiteral("</APPLET>"))
        .result();
}

QString parameterElement(const ParameterFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<PARAM"))
        .quotedIfFilled(QStringLiteral(" NAME="), fields.name)
        .quotedIfFilled(QStringLiteral(" VALUE="), fields.value)
        .literal(QStringLiteral("></PARAM>"))
        .result();
}

TForm25::TForm25(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context, DialogTraits{QStringLiteral("Form25"), QStringLiteral("JAVA Applet"), 53, false},
          parent)
    , m_source(makeTextField(body(), QStringLiteral("Edit1")))
    , m_message(makeTextField(body(), QStringLiteral("Edit4")))
    , m_width(new NumberField(QStringLiteral("Edit2"), QStringLiteral("UpDown1"), 0, 100, body()))
    , m_height(
          new NumberField(QStringLiteral("Edit3"), QStringLiteral("UpDown2"), 0, 100, body())) {
    m_width->setText(QStringLiteral("0"));
    m_height->setText(QStringLiteral("0"));
    m_source->setMinimumWidth(220);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->addRow(QStringLiteral("Source"), m_source);
    form->addRow(QStringLiteral("Message to browsers that don't support JAVA"), m_message);
    form->addRow(QStringLiteral("Width"), m_width);
    form->addRow(QStringLiteral("Height"), m_height);
    setKeyboardOrder({m_source, m_message, m_width->edit(), m_height->edit()});
    connect(okButton(), &QPushButton::clicked, this, &TForm25::Button1Click);
}

AppletFields TForm25::fields() const {
    return AppletFields{m_source->text(), m_message->text(), m_width->text(), m_height->text()};
}

QList<AttributeField> TForm25::attributeFields() const {
    return {{QStringLiteral("CODE"), m_source},
            {QString(), m_message},
            {QStringLiteral("WIDTH"), m_width},
            {QStringLiteral("HEIGHT"), m_height}};
}

QString TForm25::markup() const {
    return appletElement(fields(), markupStyle());
}

void TForm25::Button1Click() {
    insertAndClose(appletElement(fields(), markupStyle()));
}

void TForm25::FormShow() {
    m_width->clear();
    m_height->clear();
    m_source->setFocus(Qt::OtherFocusReason);
}

void TForm25::FormCloseQuery() {
    m_source->clear();
    m_message->clear();
    m_width->clear();
    m_height->clear();
}

TForm26::TForm26(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form26"), QStringLiteral("Parameter"), 54, false},
                    parent)
    , m_name(makeTextField(body(), QStringLiteral("Edit1")))
    , m_value(makeTextField(body(), QStringLiteral("Edit2"))) {
    m_name->setMinimumWidth(200);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Value"), m_value);
    setKeyboardOrder({m_name, m_value});
    connect(okButton(), &QPushButton::clicked, this, &TForm26::Button1Click);
}

ParameterFields TForm26::fields() const {
    return ParameterFields{m_name->text(), m_value->text()};
}

QList<AttributeField> TForm26::attributeFields() const {
    return {{QStringLiteral("NAME"), m_name}, {QStringLiteral("VALUE"), m_value}};
}

QString TForm26::markup() const {
    return parameterElement(fields(), markupStyle());
}

void TForm26::Button1Click() {
    insertAndClose(parameterElement(fields(), markupStyle()));
}

void TForm26::FormShow() {
    m_name->setFocus(Qt::OtherFocusReason);
}

void TForm26::FormCloseQuery() {
    m_name->clear();
    m_value->clear();
}

} // namespace vellumo
