#pragma once

#include "dialogs/element_dialog.h"

#include <optional>

class QLineEdit;

namespace vellumo {

// The 38-line script that scrolls `message` through the browser's status bar and
// the BODY tag that starts it; the same in both tag cases.
QString scrollingTextScript(const QString &message, const QString &quote);
// The message of the script scrollingTextScript() writes, when `page` starts with
// exactly that script for some message; nothing otherwise.
std::optional<QString> scrollingTextMessage(QStringView page, const QString &quote);

// The Scrolling Text dialog.
class TForm18 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm18(DialogContext &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void Button1Click();

    bool recognisesMarkup(const PageElement &element) const override;

protected:
    void fillFromElement(const PageElement &element) override;
    QString markup() const override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    QLineEdit *m_message;
};

} // namespace vellumo
