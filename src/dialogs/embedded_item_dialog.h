#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;
class QPushButton;

namespace vellumo {

class NumberField;

struct EmbeddedItemFields {
    QString item;
    QString height;
    QString width;
};

// The EMBEDED tag: SRC always, then WIDTH and HEIGHT unquoted when filled.
QString embeddedItemTag(const EmbeddedItemFields &fields, const MarkupStyle &style);

// The Embeded Item dialog.
class TForm28 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm28(DialogContext &context, QWidget *parent = nullptr);

    EmbeddedItemFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void BitBtn1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_item;
    NumberField *m_height;
    NumberField *m_width;
    QPushButton *m_browse;
};

} // namespace vellumo
