#pragma once

#include "dialogs/element_dialog.h"

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace vellumo {

class NumberField;

struct FormFieldFields {
    QString type;
    QString name;
    QString value;
    QString first;  // Rows or Size
    QString second; // Max Length or Columns
};

// The form control for the type text; empty when the text names no known type
// (compared whole and case-sensitively).
QString formFieldMarkup(const FormFieldFields &fields, const MarkupStyle &style);

// How the fields change when the type text changes; an unset member stays as it was.
struct FormFieldStates {
    std::optional<bool> valueEnabled;
    bool firstEnabled = false;
    bool clearFirst = false;
    bool secondEnabled = false;
    bool clearSecond = false;
    QString firstCaption;  // empty: unchanged
    QString secondCaption; // empty: unchanged
};
FormFieldStates formFieldStates(const QString &type);

// The Form Field dialog. The chosen type, the enabled states and the captions
// survive closing; the four text fields are emptied.
class TForm21 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm21(DialogContext &context, QWidget *parent = nullptr);

    FormFieldFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void ComboBox1Change();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void fillFromElement(const PageElement &element) override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QComboBox *m_type;
    QLineEdit *m_name;
    QLineEdit *m_value;
    QLabel *m_firstLabel;
    NumberField *m_first;
    QLabel *m_secondLabel;
    NumberField *m_second;
};

} // namespace vellumo
