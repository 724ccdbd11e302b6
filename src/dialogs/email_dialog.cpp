#include "dialogs/email_dialog.h"

#include "widgets/glyph_icon.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {
const QString EndTag = QStringLiteral("</A>");
}

QString emailLink(const EmailFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<A HREF="))
        .quotedValue(QStringLiteral("mailto:") + fields.address)
        .text(QStringLiteral(">"))
        .text(fields.description)
        .literal(EndTag)
        .result();
}

TForm8::TForm8(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form8"), QStringLiteral("E-Mail"), 40, true},
                    parent)
    , m_address(makeTextField(body(), QStringLiteral("Edit1")))
    , m_description(makeTextField(body(), QStringLiteral("Edit2"))) {
    m_address->setMinimumWidth(220);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("E-Mail address"), m_address);
    form->addRow(QStringLiteral("Description"), m_description);
    setPicture(glyphIcon(QStringLiteral("@"), QColor(0, 0, 128)).pixmap(32, 32));
    setKeyboardOrder({m_address, m_description});
    connect(okButton(), &QPushButton::clicked, this, &TForm8::Button1Click);
}

EmailFields TForm8::fields() const {
    return EmailFields{m_address->text(), m_description->text()};
}

QList<AttributeField> TForm8::attributeFields() const {
    return {{QString(), m_description}};
}

QString TForm8::markup() const {
    return emailLink(fields(), markupStyle());
}

void TForm8::fillFromElement(const PageElement &element) {
    ElementDialog::fillFromElement(element);
    // The address is the link's without its "mailto:".
    const QString address = element.tag.value(u"HREF").trimmed();
    m_address->setText(address.mid(address.indexOf(u':') + 1));
}

void TForm8::Button1Click() {
    const EmailFields typed = fields();
    // With no link text the caret waits between the tags so the user can type it.
    insertAndClose(emailLink(typed, markupStyle()),
                   typed.description.isEmpty() ? static_cast<int>(EndTag.size()) : 0, true);
}

void TForm8::FormActivate() {
    m_address->setFocus(Qt::OtherFocusReason);
}

void TForm8::FormCloseQuery() {
    m_address->clear();
    m_description->clear();
}

} // namespace vellumo
