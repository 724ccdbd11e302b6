#pragma once

#include "dialogs/element_dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vellumo {

class NumberField;

struct SoundFields {
    QString source;
    QString loop;
    bool infinite = true;
};

// The BGSOUND element: SRC always, then LOOP=INFINITE or LOOP= with the count.
QString backgroundSoundTag(const SoundFields &fields, const MarkupStyle &style);

// The Music/Sound Effects dialog.
class TForm11 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm11(DialogContext &context, QWidget *parent = nullptr);

    SoundFields fields() const;

public Q_SLOTS:
    void Button1Click();
    void BitBtn1Click();
    void MultiBaseEdit1Change();

protected:
    QList<AttributeField> attributeFields() const override;
    QString markup() const override;
    void fillFromElement(const PageElement &element) override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_source;
    QPushButton *m_browse;
    NumberField *m_loop;
    QCheckBox *m_infinite;
};

} // namespace vellumo
