#pragma once

#include "dialogs/element_dialog.h"

class QCheckBox;
class QComboBox;

namespace vellumo {

class NumberField;

struct RuleFields {
    QString width;
    QString size;
    QString align;
    bool noShading = false;
};

// The HR element: ALIGN, SIZE, WIDTH (all quoted, each left out when empty), then
// NOSHADE.
QString ruleTag(const RuleFields &fields, const MarkupStyle &style);

// The Horizontal Rule dialog.
class TForm6 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm6(DialogContext &context, QWidget *parent = nullptr);

    RuleFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    NumberField *m_width;
    NumberField *m_size;
    QComboBox *m_align;
    QCheckBox *m_noShading;
};

} // namespace vellumo
