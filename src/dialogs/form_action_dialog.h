#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;

namespace vellumo {

// An empty FORM element posting to `action`; the action is always written.
QString formActionTag(const QString &action, const MarkupStyle &style);

// The Form Action dialog.
class TForm20 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm20(DialogContext &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_action;
};

} // namespace vellumo
