#pragma once

#include "dialogs/element_dialog.h"

class QComboBox;
class QLineEdit;

namespace vellumo {

struct MetaFields {
    QString httpEquiv;
    QString content;
    QString name;
    QString url;
};

// The META element with all four attributes, filled or not.
QString metaTag(const MetaFields &fields, const MarkupStyle &style);

// The Meta dialog.
class TForm23 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm23(DialogContext &context, QWidget *parent = nullptr);

    MetaFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QComboBox *m_httpEquiv;
    QLineEdit *m_content;
    QComboBox *m_name;
    QLineEdit *m_url;
};

} // namespace vellumo
