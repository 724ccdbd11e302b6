#pragma once

#include "dialogs/element_dialog.h"
#include "generators/frameset.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vellumo {

class NumberField;
class TForm14;

// Frame Wizard, step 1: rows or columns, and how many frames. Its choices survive
// a Cancel here; the wizard starts afresh only after step 2 has been shown.
class TForm13 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm13(DialogContext &context, QWidget *parent = nullptr);

    // The second step that OK shows. Step 2 resets this step whenever it closes.
    void setFrameDetails(TForm14 *step2);

    // The layout the fields describe, or nothing when the count text is not
    // exactly one of "2" ... "8".
    std::optional<FrameLayout> frameLayout() const;
    // Back to "Rows" and "2".
    void resetLayout();

    void Button1Click(); // OK

    // The controls, by role; okButton() and cancelButton() are "Button1" and
    // "Button2".
    QRadioButton *rowsButton;    // "RadioButton1"
    QRadioButton *columnsButton; // "RadioButton2"
    NumberField *Count;          // "Edit1" with its arrows "UpDown1"
    QLineEdit *countField;       // Count's text, "Edit1"

private:
    TForm14 *m_step2 = nullptr;
};

// Frame Wizard, step 2: name, address, scrolling and resizing of up to eight
// frames. OK writes the frameset at the caret; every close resets the wizard.
class TForm14 final : public ElementDialog {
    Q_OBJECT
public:
    static constexpr int GroupCount = MaximumFrameCount;

    explicit TForm14(DialogContext &context, QWidget *parent = nullptr);

    // Shows this step modally for `layout`; returns when it has closed.
    int runFor(const FrameLayout &layout);

    // All eight groups as they stand.
    QList<FrameSettings> frames() const;

    void BuildFrameset(); // OK
    void ResetFrameWizard();

    // One group's controls: Edit(2k-1), Edit(2k), ComboBox k and CheckBox k.
    struct FrameGroup {
        QLineEdit *name;
        QLineEdit *address;
        QComboBox *scrolling;
        QCheckBox *noResize;
    };
    std::array<FrameGroup, GroupCount> Groups;

Q_SIGNALS:
    // Emitted as the wizard resets, so that step 1 returns to its start values too.
    void frameWizardReset();

protected:
    void FormCloseQuery() override;

private:
    FrameLayout m_layout;
};

} // namespace vellumo
