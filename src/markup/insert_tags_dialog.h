#pragma once

#include "dialogs/dialog_context.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;
class QValidator;

namespace vellumo {

// The hundred tags the "Insert Tags" list offers, in list order, as stored (upper case).
const QStringList &insertTagsItems();

// "Insert Tags": a fixed list of tags; the user picks one, may edit it, and inserts it at the
// caret as often as wanted. OK does not close the dialog, and Escape does not close it either,
// so a stray key press never ends a session of picking tags.
class TForm17 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm17(DialogContext &context, QWidget *parent = nullptr);

    static constexpr int HelpTopic = 46;

public Q_SLOTS:
    void ListBox1Click();
    void ListBox1DblClick();
    void Button1Click();
    void Button2Click();

public:
    // Every way of closing ends here: Edit1 starts empty at the next opening, while the
    // list's selected item and Edit1's case mode are kept.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCloseQuery();
    void setForcedLowerCase(bool lower);

    DialogContext &m_context;
    QListWidget *ListBox1;
    QLineEdit *Edit1;
    QPushButton *Button1;
    QPushButton *Button2;
    QValidator *m_lowerCase;
};

} // namespace vellumo
