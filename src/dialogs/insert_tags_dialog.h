#pragma once

#include "dialogs/element_dialog.h"

#include <QStringList>

class QLineEdit;
class QListWidget;
class QValidator;

namespace vellumo {

// The hundred tags the "Insert Tags" list offers, in list order, as stored (upper case).
const QStringList &insertTagsItems();

// "Insert Tags": a fixed list of tags; the user picks one, may edit it, and inserts it at the
// caret as often as wanted. OK does not close the dialog, and Escape does not close it either,
// so a stray key press never ends a session of picking tags.
class TForm17 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm17(DialogContext &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void ListBox1Click();
    void ListBox1DblClick();
    void Button1Click();
    void Button2Click();

protected:
    // Every way of closing ends here: the tag field starts empty at the next opening, while the
    // list's selected item and the field's case mode are kept.
    void FormCloseQuery() override;

private:
    void setForcedLowerCase(bool lower);

    QListWidget *m_list; // "ListBox1"
    QLineEdit *m_field;  // "Edit1", the tag to insert
    QValidator *m_lowerCase;
};

} // namespace vellumo
