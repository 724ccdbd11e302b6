#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;

namespace vellumo {

class NumberField;

struct AppletFields {
    QString source;
    QString message;
    QString width;
    QString height;
};

// The APPLET element; width and height unquoted, each part left out when empty.
QString appletElement(const AppletFields &fields, const MarkupStyle &style);

struct ParameterFields {
    QString name;
    QString value;
};

// One PARAM element with its end tag; name and value quoted, left out when empty.
QString parameterElement(const ParameterFields &fields, const MarkupStyle &style);

// The JAVA Applet dialog.
class TForm25 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm25(DialogContext &context, QWidget *parent = nullptr);

    AppletFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_source;
    QLineEdit *m_message;
    NumberField *m_width;
    NumberField *m_height;
};

// The Parameter dialog, for the PARAM elements inside an applet.
class TForm26 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm26(DialogContext &context, QWidget *parent = nullptr);

    ParameterFields fields() const;

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_name;
    QLineEdit *m_value;
};

} // namespace vellumo
