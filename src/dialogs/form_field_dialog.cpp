#include "dialogs/form_field_dialog.h"

#include "widgets/number_field.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {

const QStringList Types{QStringLiteral("Checkbox"),     QStringLiteral("Hidden"),
                        QStringLiteral("Radio Button"), QStringLiteral("Reset Button"),
                        QStringLiteral("Select List"),  QStringLiteral("Submit Button"),
                        QStringLiteral("Text"),         QStringLiteral("Text Area")};

// The INPUT types of the kinds written as one INPUT with a name and a value.
QString inputType(const QString &type) {
    if (type == Types.at(0))
        return QStringLiteral("CHECKBOX");
    if (type == Types.at(1))
        return QStringLiteral("HIDDEN");
    if (type == Types.at(2))
        return QStringLiteral("RADIO");
    if (type == Types.at(3))
        return QStringLiteral("RESET");
    if (type == Types.at(5))
        return QStringLiteral("SUBMIT");
    if (type == Types.at(6))
        return QStringLiteral("TEXT");
    return {};
}

// The type the dialog shows for a form control of the page; an INPUT of a type the
// dialog does not write shows as Text, and keeps its own TYPE unless the type is changed.
QString typeOfElement(const StartTag &tag) {
    if (tag.is(u"SELECT"))
        return QStringLiteral("Select List");
    if (tag.is(u"TEXTAREA"))
        return QStringLiteral("Text Area");
    const QString type = tag.value(u"TYPE").trimmed();
    for (const QString &name : Types)
        if (!inputType(name).isEmpty() && inputType(name).compare(type, Qt::CaseInsensitive) == 0)
            return name;
    return QStringLiteral("Text");
}

} // namespace

QString formFieldMarkup(const FormFieldFields &fields, const MarkupStyle &style) {
    TagWriter writer(style);
    if (fields.type == QStringLiteral("Select List"))
        return writer.quoted(QStringLiteral("<SELECT NAME="), fields.name)
            .literal(QStringLiteral("></SELECT>"))
            .result();
    if (fields.type == QStringLiteral("Text Area"))
        return writer.quoted(QStringLiteral("<TEXTAREA NAME="), fields.name)
            .unquotedIfFilled(QStringLiteral(" ROWS="), fields.first)
            .unquotedIfFilled(QStringLiteral(" COLS="), fields.second)
            .literal(QStringLiteral("></TEXTAREA>"))
            .result();
    const QString input = inputType(fields.type);
    if (input.isEmpty())
        return {};
    // The type word is markup, so it follows the tag case, but it is quoted like a value.
    writer.literal(QStringLiteral("<INPUT TYPE="))
        .text(style.quote)
        .literal(input)
        .text(style.quote)
        .quoted(QStringLiteral(" NAME="), fields.name)
        .quoted(QStringLiteral(" VALUE="), fields.value);
    if (fields.type == QStringLiteral("Text"))
        writer.unquotedIfFilled(QStringLiteral(" SIZE="), fields.first)
            .unquotedIfFilled(QStringLiteral(" MAXLENGTH="), fields.second);
    return writer.text(QStringLiteral(">")).result();
}

FormFieldStates formFieldStates(const QString &type) {
    FormFieldStates states;
    const qsizetype kind = Types.indexOf(type);
    if (kind >= 0 && kind <= 3) {
        states.valueEnabled = true;
    } else if (type == QStringLiteral("Select List")) {
        states.valueEnabled = false;
        states.clearFirst = true;
        states.firstCaption = QStringLiteral("Rows");
    } else if (type == QStringLiteral("Submit Button")) {
        states.valueEnabled = true;
        states.clearFirst = true;
    } else if (type == QStringLiteral("Text")) {
        states.valueEnabled = true;
        states.firstEnabled = states.secondEnabled = true;
        states.clearFirst = states.clearSecond = true;
        states.firstCaption = QStringLiteral("Size");
        states.secondCaption = QStringLiteral("Max Length");
    } else {
        // Every other text, "Text Area" and half-typed words included.
        states.firstEnabled = states.secondEnabled = true;
        states.clearFirst = states.clearSecond = true;
        states.firstCaption = QStringLiteral("Rows");
        states.secondCaption = QStringLiteral("Columns");
    }
    return states;
}

TForm21::TForm21(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form21"), QStringLiteral("Form Field"), 0, false},
                    parent)
    , m_type(makeListField(body(), QStringLiteral("ComboBox1"), Types))
    , m_name(makeTextField(body(), QStringLiteral("Edit1")))
    , m_value(makeTextField(body(), QStringLiteral("Edit2")))
    , m_firstLabel(new QLabel(QStringLiteral("Rows"), body()))
    , m_first(new NumberField(QStringLiteral("Edit3"), QStringLiteral("UpDown1"), 0, 100, body()))
    , m_secondLabel(new QLabel(QStringLiteral("Max Length"), body()))
    , m_second(
          new NumberField(QStringLiteral("Edit4"), QStringLiteral("UpDown2"), 0, 100, body())) {
    m_firstLabel->setObjectName(QStringLiteral("Label4"));
    m_secondLabel->setObjectName(QStringLiteral("Label5"));
    m_type->setCurrentIndex(0);
    m_first->setText(QStringLiteral("0"));
    m_second->setText(QStringLiteral("0"));
    m_first->setEnabled(false);
    m_second->setEnabled(false);

    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Type"), body()), 0, 0);
    grid->addWidget(m_type, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Name"), body()), 1, 0);
    grid->addWidget(m_name, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Value"), body()), 2, 0);
    grid->addWidget(m_value, 2, 1, 1, 3);
    grid->addWidget(m_firstLabel, 3, 0);
    grid->addWidget(m_first, 3, 1);
    grid->addWidget(m_secondLabel, 3, 2);
    grid->addWidget(m_second, 3, 3);

    setKeyboardOrder({m_type, m_name, m_value, m_first->edit(), m_second->edit()});
    connect(okButton(), &QPushButton::clicked, this, &TForm21::Button1Click);
    // Every change of the type text, typed letter by letter or picked from the list.
    connect(m_type, &QComboBox::currentTextChanged, this, &TForm21::ComboBox1Change);
}

FormFieldFields TForm21::fields() const {
    return FormFieldFields{m_type->currentText(), m_name->text(), m_value->text(), m_first->text(),
                           m_second->text()};
}

QList<AttributeField> TForm21::attributeFields() const {
    return {{QStringLiteral("NAME"), m_name}, {QStringLiteral("VALUE"), m_value}};
}

QString TForm21::markup() const {
    return formFieldMarkup(fields(), markupStyle());
}

void TForm21::fillFromElement(const PageElement &element) {
    // The type first: choosing it empties and enables the number fields.
    m_type->setEditText(typeOfElement(element.tag));
    ElementDialog::fillFromElement(element);
    const bool textArea = element.tag.is(u"TEXTAREA");
    const TagAttribute *first = element.tag.attribute(textArea ? u"ROWS" : u"SIZE");
    const TagAttribute *second = element.tag.attribute(textArea ? u"COLS" : u"MAXLENGTH");
    if (first != nullptr)
        m_first->setText(first->value);
    if (second != nullptr)
        m_second->setText(second->value);
}

void TForm21::Button1Click() {
    const QString markup = formFieldMarkup(fields(), markupStyle());
    if (markup.isEmpty()) {
        accept();
        return;
    }
    insertAndClose(markup);
}

void TForm21::ComboBox1Change() {
    const FormFieldStates states = formFieldStates(m_type->currentText());
    if (states.valueEnabled)
        m_value->setEnabled(*states.valueEnabled);
    m_first->setEnabled(states.firstEnabled);
    m_second->setEnabled(states.secondEnabled);
    if (states.clearFirst)
        m_first->clear();
    if (states.clearSecond)
        m_second->clear();
    if (!states.firstCaption.isEmpty())
        m_firstLabel->setText(states.firstCaption);
    if (!states.secondCaption.isEmpty())
        m_secondLabel->setText(states.secondCaption);
}

void TForm21::FormShow() {
    m_name->setFocus(Qt::OtherFocusReason);
}

void TForm21::FormCloseQuery() {
    m_name->clear();
    m_value->clear();
    m_first->clear();
    m_second->clear();
}

} // namespace vellumo
