#include "dialogs/form_action_dialog.h"

#include "widgets/glyph_icon.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString formActionTag(const QString &action, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<FORM METHOD=POST ACTION="))
        .quotedValue(action)
        .literal(QStringLiteral("></FORM>"))
        .result();
}

TForm20::TForm20(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context, DialogTraits{QStringLiteral("Form20"), QStringLiteral("Form Action"), 47, false},
          parent)
    , m_action(makeTextField(body(), QStringLiteral("Edit1"))) {
    m_action->setMinimumWidth(220);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Form Action"), m_action);
    setPicture(glyphIcon(QStringLiteral("\u25AD"), QColor(0, 110, 110)).pixmap(32, 32));
    setKeyboardOrder({m_action});
    connect(okButton(), &QPushButton::clicked, this, &TForm20::Button1Click);
}

QList<AttributeField> TForm20::attributeFields() const {
    return {{QStringLiteral("ACTION"), m_action}};
}

QString TForm20::markup() const {
    return formActionTag(m_action->text(), markupStyle());
}

void TForm20::Button1Click() {
    insertAndClose(formActionTag(m_action->text(), markupStyle()));
}

void TForm20::FormShow() {
    m_action->setFocus(Qt::OtherFocusReason);
}

void TForm20::FormCloseQuery() {
    m_action->clear();
}

} // namespace vellumo
