#pragma once

#include "dialogs/dialog_context.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vellumo {

// Tip of the Day: one tip per showing and per Next Tip, cycling through the tips
// file across runs; Close remembers whether the tips open at start-up.
class TForm27 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm27(DialogContext &context, QWidget *parent = nullptr);

    // Where Tips.dat is looked for first; the folder current at construction
    // unless the main window hands over its own.
    QString StartupFolder;
    // The last "Items" value read; the default for the next read.
    QString ItemsRead;

    void FormShow();
    void Button1Click();
    void Button2Click();

    QFrame *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QFrame *Panel2 = nullptr;
    QPlainTextEdit *RichEdit1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString tipsPath() const;
    void reportError(const QString &text);

    Platform &m_platform;
};

} // namespace vellumo
