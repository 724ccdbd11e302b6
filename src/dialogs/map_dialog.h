#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;

namespace vellumo {

// The three-line skeleton of a client-side image map, each line ending in a break.
QString imageMapSkeleton(const QString &mapName, const MarkupStyle &style);

// The Map Name dialog.
class TForm22 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm22(DialogContext &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void Button1Click();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_name;
};

} // namespace vellumo
