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

    // The controls, by their role; each carries its layout name as its object name.
    QFrame *bulbStrip = nullptr;
    QLabel *bulbImage = nullptr;
    QLabel *headerImage = nullptr;
    QFrame *tipMargin = nullptr;
    QPlainTextEdit *tipText = nullptr;
    QFrame *tipFrame = nullptr;
    QCheckBox *showAtStartup = nullptr;
    QPushButton *nextTipButton = nullptr;
    QPushButton *closeButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString tipsPath() const;
    void reportError(const QString &text);

    Platform &m_platform;
};

} // namespace vellumo
