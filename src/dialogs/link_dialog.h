#pragma once

#include "dialogs/element_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vellumo {

struct LinkFields {
    QString url;
    QString description;
    QString target;
};

// The A element of the Create Link dialog; the address is always written.
QString linkTag(const LinkFields &fields, const MarkupStyle &style);

// Link From the Selected Text: the selection becomes the address of an A element
// and the caret waits between the start tag and the end tag for the link text.
// Leaves the keyboard focus where it is.
void linkFromSelectedText(InsertionCore &core);

// The Create Link dialog.
class TForm7 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm7(DialogContext &context, QWidget *parent = nullptr);

    LinkFields fields() const;

public Q_SLOTS:
    void Button2Click();
    void BitBtn1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QPushButton *m_browse;
    QLineEdit *m_url;
    QLineEdit *m_description;
    QComboBox *m_target;
};

} // namespace vellumo
