#pragma once

#include "dialogs/element_dialog.h"

class QComboBox;

namespace vellumo {

class NumberField;

struct FontFields {
    QString size;
    QString face;
    QString colour;
};

// An empty FONT element; SIZE, FACE and COLOR quoted, each left out when empty.
QString fontElement(const FontFields &fields, const MarkupStyle &style);

// The Font dialog. The caret is left between the tags for the text to come.
class TForm19 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm19(DialogContext &context, QWidget *parent = nullptr);

    FontFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QComboBox *m_face;
    NumberField *m_size;
    QComboBox *m_colour;
};

} // namespace vellumo
