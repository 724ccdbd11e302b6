#include "dialogs/page_transfer_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumo {

namespace {

const QString Address = QStringLiteral("http://");

QCheckBox *makeCheckBrowser(QWidget *parent, const QString &name) {
    auto *box = new QCheckBox(QStringLiteral("Check Browser"), parent);
    box->setObjectName(name);
    return box;
}

void addField(QVBoxLayout *layout, const QString &caption, QLineEdit *field) {
    layout->addWidget(new QLabel(caption, field->parentWidget()));
    layout->addWidget(field);
}

} // namespace

QString pageTransferScript(const PageTransferFields &fields, const QString &quote) {
    const QString &q = quote;
    // The addresses sit in the script's strings.
    const auto address = [&quote](const QString &url) { return scriptStringValue(url, quote); };
    QString script = QStringLiteral("<script language=") + q + QStringLiteral("JavaScript") + q +
                     QStringLiteral(">\n");
    if (fields.checkBrowser) {
        script += QStringLiteral("bName = navigator.appName;\n");
        script += QStringLiteral("if (bName == ") + q + QStringLiteral("Netscape") + q +
                  QStringLiteral(")\n");
        script += QStringLiteral("window.location=") + q + address(fields.netscapeUrl) + q +
                  QStringLiteral(";\n");
        script += QStringLiteral("else window.location=") + q + address(fields.otherBrowserUrl) +
                  q + QStringLiteral("\n");
    } else {
        script +=
            QStringLiteral("window.location=") + q + address(fields.url) + q + QStringLiteral("\n");
    }
    return script + QStringLiteral("</script>\n");
}

std::optional<PageTransferFields> pageTransferFields(QStringView page, const QString &quote) {
    // The addresses are the script's strings after "window.location=".
    const QString location = QStringLiteral("window.location=") + quote;
    QStringList addresses;
    for (qsizetype at = page.indexOf(location); at >= 0 && addresses.size() < 2;
         at = page.indexOf(location, at + 1)) {
        const qsizetype from = at + location.size();
        const qsizetype end = page.indexOf(u'\n', from);
        if (end < 0)
            return std::nullopt;
        QStringView line = page.mid(from, end - from);
        if (line.endsWith(u';'))
            line.chop(1);
        if (!line.endsWith(quote))
            return std::nullopt;
        addresses << scriptStringText(line.chopped(quote.size()));
    }
    std::optional<PageTransferFields> fields;
    if (addresses.size() == 1)
        fields = PageTransferFields{false, addresses.at(0), {}, {}};
    else if (addresses.size() == 2)
        fields = PageTransferFields{true, {}, addresses.at(0), addresses.at(1)};
    if (fields && page.startsWith(pageTransferScript(*fields, quote)))
        return fields;
    return std::nullopt;
}

TForm9::TForm9(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          [] {
              DialogTraits traits{QStringLiteral("Form9"), QStringLiteral("Page Transfer"), 57,
                                  true};
              traits.okName = QStringLiteral("Button2");
              traits.cancelName = QStringLiteral("Button1");
              return traits;
          }(),
          parent)
    , m_simpleView(new QWidget(body()))
    , m_browserView(new QWidget(body())) {
    m_simpleView->setObjectName(QStringLiteral("Panel1"));
    m_browserView->setObjectName(QStringLiteral("Panel2"));
    m_url = makeTextField(m_simpleView, QStringLiteral("Edit1"));
    m_checkSimple = makeCheckBrowser(m_simpleView, QStringLiteral("CheckBox1"));
    m_netscapeUrl = makeTextField(m_browserView, QStringLiteral("Edit2"));
    m_otherUrl = makeTextField(m_browserView, QStringLiteral("Edit3"));
    m_checkBrowser = makeCheckBrowser(m_browserView, QStringLiteral("CheckBox2"));

    auto *simple = new QVBoxLayout(m_simpleView);
    simple->setContentsMargins(0, 0, 0, 0);
    addField(simple, QStringLiteral("URL"), m_url);
    simple->addWidget(m_checkSimple);
    auto *browser = new QVBoxLayout(m_browserView);
    browser->setContentsMargins(0, 0, 0, 0);
    addField(browser, QStringLiteral("URL  (if user is running Netscape)"), m_netscapeUrl);
    addField(browser, QStringLiteral("URL  (If user is not running Netscape)"), m_otherUrl);
    browser->addWidget(m_checkBrowser);
    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_simpleView);
    layout->addWidget(m_browserView);
    m_browserView->hide();
    m_url->setMinimumWidth(270);

    setKeyboardOrder({m_url, m_checkSimple, m_netscapeUrl, m_otherUrl, m_checkBrowser});
    connect(okButton(), &QPushButton::clicked, this, &TForm9::Button2Click);
    // toggled, not clicked: a box the dialog changes itself must switch the view too.
    connect(m_checkSimple, &QCheckBox::toggled, this, &TForm9::CheckBox1Click);
    connect(m_checkBrowser, &QCheckBox::toggled, this, &TForm9::CheckBox2Click);
}

PageTransferFields TForm9::fields() const {
    return PageTransferFields{m_checkBrowser->isChecked(), m_url->text(), m_netscapeUrl->text(),
                              m_otherUrl->text()};
}

bool TForm9::browserCheckShown() const {
    return !m_browserView->isHidden();
}

bool TForm9::recognisesMarkup(const PageElement &element) const {
    return pageTransferFields(element.markup(), markupStyle().quote).has_value();
}

void TForm9::fillFromElement(const PageElement &element) {
    const std::optional<PageTransferFields> found =
        pageTransferFields(element.markup(), markupStyle().quote);
    if (!found)
        return;
    // Checking the box brings the browser-check view up, as a click would.
    m_checkSimple->setChecked(found->checkBrowser);
    m_url->setText(found->url);
    m_netscapeUrl->setText(found->netscapeUrl);
    m_otherUrl->setText(found->otherBrowserUrl);
}

QString TForm9::markup() const {
    return pageTransferScript(fields(), markupStyle().quote);
}

void TForm9::Button2Click() {
    insertAndClose(pageTransferScript(fields(), markupStyle().quote));
}

void TForm9::CheckBox1Click() {
    if (!m_checkSimple->isChecked() || browserCheckShown())
        return;
    m_browserView->show();
    m_simpleView->hide();
    m_checkBrowser->setChecked(true);
    // The simple view's box is left unchecked for the way back.
    m_checkSimple->setChecked(false);
    m_netscapeUrl->setFocus(Qt::OtherFocusReason);
    moveCaretRight(m_netscapeUrl, 7);
}

void TForm9::CheckBox2Click() {
    if (m_checkBrowser->isChecked() || !browserCheckShown())
        return;
    m_simpleView->show();
    m_browserView->hide();
    m_checkSimple->setChecked(false);
}

void TForm9::FormActivate() {
    for (QLineEdit *field : {m_url, m_netscapeUrl, m_otherUrl}) {
        field->setText(Address);
        field->setCursorPosition(0);
    }
    m_url->setFocus(Qt::OtherFocusReason);
    moveCaretRight(m_url, 7);
}

void TForm9::FormCloseQuery() {
    m_url->clear();
    m_netscapeUrl->clear();
    m_otherUrl->clear();
    // Unchecking the browser-check box first brings the simple view back.
    m_checkBrowser->setChecked(false);
    m_checkSimple->setChecked(false);
}

} // namespace vellumo
