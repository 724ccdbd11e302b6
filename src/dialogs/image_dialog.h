#pragma once

#include "dialogs/element_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vellumo {

class NumberField;

struct ImageFields {
    QString image;
    QString alternateText;
    QString borderWidth;
    QString align;
    QString width;
    QString height;
};

// The IMG element: SRC, WIDTH, HEIGHT, BORDER, ALIGN, ALT in that order. Width,
// height and border are written unquoted, and the border even when empty.
QString imageTag(const ImageFields &fields, const MarkupStyle &style);

// The Image dialog. It refuses OK while no picture is named.
class TForm5 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm5(DialogContext &context, QWidget *parent = nullptr);

    ImageFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void BitBtn1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QPushButton *m_browse;
    QLineEdit *m_image;
    QLineEdit *m_alternateText;
    NumberField *m_border;
    QComboBox *m_align;
    QLineEdit *m_width;
    QLineEdit *m_height;
};

} // namespace vellumo
