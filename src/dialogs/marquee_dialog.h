#pragma once

#include "dialogs/element_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vellumo {

class NumberField;

struct MarqueeFields {
    QString text;
    QString width;
    QString height;
    QString vspace;
    QString hspace;
    QString loop;
    bool infinite = true;
    QString alignment;
    QString direction;
    QString behavior;
    QString background;
};

// The MARQUEE element. Number attributes are written unquoted unless they hold
// exactly "0"; list values are written when filled; the loop is always written.
QString marqueeElement(const MarqueeFields &fields, const MarkupStyle &style);

// The Marquee dialog.
class TForm12 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm12(DialogContext &context, QWidget *parent = nullptr);

    MarqueeFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void MultiBaseEdit3Change();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void fillFromElement(const PageElement &element) override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_text;
    NumberField *m_width;
    NumberField *m_height;
    NumberField *m_vspace;
    NumberField *m_hspace;
    NumberField *m_loop;
    QCheckBox *m_infinite;
    QComboBox *m_alignment;
    QComboBox *m_direction;
    QComboBox *m_behavior;
    QComboBox *m_background;
};

} // namespace vellumo
