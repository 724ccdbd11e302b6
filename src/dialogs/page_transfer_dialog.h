#pragma once

#include "dialogs/element_dialog.h"

#include <optional>

class QCheckBox;
class QLineEdit;

namespace vellumo {

struct PageTransferFields {
    bool checkBrowser = false;
    QString url;             // the simple view's address
    QString netscapeUrl;     // browser check: for Netscape
    QString otherBrowserUrl; // browser check: for every other browser
};

// The script that sends the browser on to another page. It is written in lower case
// whatever the tag case, each line ending in a line break.
QString pageTransferScript(const PageTransferFields &fields, const QString &quote);
// The fields of the script pageTransferScript() writes, when `page` starts with exactly
// that script for some fields; nothing otherwise.
std::optional<PageTransferFields> pageTransferFields(QStringView page, const QString &quote);

// The Page Transfer dialog, with a simple view and a browser-check view in one place.
class TForm9 final : public ElementDialog {
    Q_OBJECT
public:
    explicit TForm9(DialogContext &context, QWidget *parent = nullptr);

    PageTransferFields fields() const;
    bool browserCheckShown() const;
    bool recognisesMarkup(const PageElement &element) const override;

public Q_SLOTS:
    void Button2Click();
    void CheckBox1Click();
    void CheckBox2Click();

protected:
    void fillFromElement(const PageElement &element) override;
    QString markup() const override;
    void FormActivate() override;
    void FormCloseQuery() override;

private:
    QWidget *m_simpleView;
    QWidget *m_browserView;
    QLineEdit *m_url;
    QCheckBox *m_checkSimple;
    QLineEdit *m_netscapeUrl;
    QLineEdit *m_otherUrl;
    QCheckBox *m_checkBrowser;
};

} // namespace vellumo
