#pragma once

#include "dialogs/element_dialog.h"

class QLineEdit;

namespace vellumo {

// The 38-line script that scrolls `message` through the browser's status bar and
// the BODY tag that starts it; the same in both tag cases.
QString scrollingTextScript(const QString &message, const QString &quote);

// The Scrolling Text dialog.
class TForm18 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm18(DialogContext &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void Button1Click();

protected:
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_message;
};

} // namespace vellumo
