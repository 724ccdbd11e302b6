#pragma once

#include "dialogs/element_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vellumo {

struct ScriptFields {
    QString language;
    QString source;
};

// An empty SCRIPT element: start tag and end tag on two lines, each ending in a break.
QString scriptElement(const ScriptFields &fields, const MarkupStyle &style);

// The Script dialog.
class TForm24 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm24(DialogContext &context, QWidget *parent = nullptr);

    ScriptFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void BitBtn1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QComboBox *m_language;
    QLineEdit *m_source;
    QPushButton *m_browse;
};

} // namespace vellumo
