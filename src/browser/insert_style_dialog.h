#pragma once

#include "browser/file_snippets.h"
#include "dialogs/element_dialog.h"

class QComboBox;
class QLabel;

namespace vellumo {

// Select Insert Style: asks how a file picked in the side panel goes into the
// page. O&K and C&ancel set InsertStyle; a close from the title bar leaves it as
// it was, and the caller resets it after every use.
class TForm3 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm3(DialogContext &context, QWidget *parent = nullptr);

    FileInsertStyle InsertStyle = FileInsertStyle::Unset;

    // Shows the dialog modally and returns the style it left behind.
    FileInsertStyle ask();

    void Button1Click();
    void Button2Click();

    QLabel *prompt = nullptr;      // "Label1"
    QComboBox *styleBox = nullptr; // "ComboBox1"

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_chosen = -1; // the list item chosen, -1 for none or typed text
};

} // namespace vellumo
