#include "dialogs/meta_dialog.h"

#include "widgets/glyph_icon.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString metaTag(const MetaFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .quoted(QStringLiteral("<META HTTP-EQUIV="), fields.httpEquiv)
        .quoted(QStringLiteral(" CONTENT="), fields.content)
        .quoted(QStringLiteral(" NAME="), fields.name)
        .quoted(QStringLiteral(" URL="), fields.url)
        .text(QStringLiteral(">"))
        .result();
}

TForm23::TForm23(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form23"), QStringLiteral("Meta"), 51, false},
                    parent) {
    setToolTip(QStringLiteral("Insert Meta"));
    const QStringList names{QStringLiteral("Expires"), QStringLiteral("Reply-to"),
                            QStringLiteral("Keywords"), QStringLiteral("PICS-Label")};
    m_httpEquiv = makeListField(body(), QStringLiteral("ComboBox1"),
                                names + QStringList{QStringLiteral("Refresh")});
    m_content = makeTextField(body(), QStringLiteral("Edit1"));
    m_name = makeListField(body(), QStringLiteral("ComboBox2"), names);
    m_url = makeTextField(body(), QStringLiteral("Edit2"));
    m_content->setMinimumWidth(200);

    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("HTTP-EQUIV"), m_httpEquiv);
    form->addRow(QStringLiteral("Content"), m_content);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("URL"), m_url);
    setPicture(glyphIcon(QStringLiteral("M"), QColor(0, 0, 128)).pixmap(32, 32));
    setKeyboardOrder({m_httpEquiv, m_content, m_name, m_url});
    connect(okButton(), &QPushButton::clicked, this, &TForm23::Button1Click);
}

MetaFields TForm23::fields() const {
    return MetaFields{m_httpEquiv->currentText(), m_content->text(), m_name->currentText(),
                      m_url->text()};
}

QList<AttributeField> TForm23::attributeFields() const {
    return {{QStringLiteral("HTTP-EQUIV"), m_httpEquiv},
            {QStringLiteral("CONTENT"), m_content},
            {QStringLiteral("NAME"), m_name},
            {QStringLiteral("URL"), m_url}};
}

QString TForm23::markup() const {
    return metaTag(fields(), markupStyle());
}

void TForm23::Button1Click() {
    insertAndClose(metaTag(fields(), markupStyle()));
}

void TForm23::FormShow() {
    m_httpEquiv->setFocus(Qt::OtherFocusReason);
}

void TForm23::FormCloseQuery() {
    m_content->clear();
    m_url->clear();
    clearListField(m_httpEquiv);
    clearListField(m_name);
}

} // namespace vellumo
