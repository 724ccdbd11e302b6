#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;

namespace vellumo {

struct EmailFields {
    QString address;
    QString description;
};

// An A element whose address is "mailto:" followed by the address as typed.
QString emailLink(const EmailFields &fields, const MarkupStyle &style);

// The E-Mail dialog.
class TForm8 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm8(DialogContext &context, QWidget *parent = nullptr);

    EmailFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void fillFromElement(const PageElement &element) override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_address;
    QLineEdit *m_description;
};

} // namespace vellumo
