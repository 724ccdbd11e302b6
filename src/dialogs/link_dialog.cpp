#include "dialogs/link_dialog.h"

#include "editor/insertion_core.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {

const QString EndTag = QStringLiteral("</A>");
const QString StartOfLink = QStringLiteral("<A HREF=");

void resetUrl(QLineEdit *url) {
    url->setText(QStringLiteral("http://"));
    // The caret starts at the beginning, so the opening step lands it after "http://".
    url->setCursorPosition(0);
}

} // namespace

QString linkTag(const LinkFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(StartOfLink)
        .quotedValue(fields.url)
        .quotedIfFilled(QStringLiteral(" TARGET="), fields.target)
        .text(QStringLiteral(">"))
        .text(fields.description)
        .literal(EndTag)
        .result();
}

void linkFromSelectedText(InsertionCore &core) {
    const MarkupStyle style{core.IsUpperTagCase(), core.attributeQuote()};
    const QString open = TagWriter(style).literal(StartOfLink).text(style.quote).result();
    const QString close =
        TagWriter(style).text(style.quote).text(QStringLiteral(">")).literal(EndTag).result();
    core.WrapSelection(open, close, static_cast<int>(open.size()));
    // The wrap leaves the caret in front of the closing quote; the link text goes
    // after the start tag's ">", so step forward over the quote and the ">".
    core.MoveCaretBack(-static_cast<int>(close.size() - EndTag.size()));
}

TForm7::TForm7(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          [] {
              DialogTraits traits{QStringLiteral("Form7"), QStringLiteral("Create Link"), 38, true};
              traits.okName = QStringLiteral("Button2");
              traits.cancelName = QStringLiteral("Button1");
              traits.cancelFirst = true;
              return traits;
          }(),
          parent)
    , m_browse(makeBrowseButton(body()))
    , m_url(makeTextField(body(), QStringLiteral("Edit1")))
    , m_description(makeTextField(body(), QStringLiteral("Edit2")))
    , m_target(makeListField(body(), QStringLiteral("ComboBox1"),
                             {QStringLiteral("_blank"), QStringLiteral("_self"),
                              QStringLiteral("_parent"), QStringLiteral("_top")})) {
    resetUrl(m_url);
    m_url->setMinimumWidth(240);
    auto *urlRow = new QHBoxLayout;
    urlRow->addWidget(m_url, 1);
    urlRow->addWidget(m_browse);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("URL"), urlRow);
    form->addRow(QStringLiteral("Description"), m_description);
    form->addRow(QStringLiteral("Target"), m_target);

    setKeyboardOrder({m_browse, m_url, m_description, m_target});
    connect(okButton(), &QPushButton::clicked, this, &TForm7::Button2Click);
    connect(m_browse, &QPushButton::clicked, this, &TForm7::BitBtn1Click);
}

LinkFields TForm7::fields() const {
    return LinkFields{m_url->text(), m_description->text(), m_target->currentText()};
}

QList<AttributeField> TForm7::attributeFields() const {
    return {{QStringLiteral("HREF"), m_url},
            {QString(), m_description},
            {QStringLiteral("TARGET"), m_target}};
}

QString TForm7::markup() const {
    return linkTag(fields(), markupStyle());
}

void TForm7::Button2Click() {
    const LinkFields typed = fields();
    insertAndClose(linkTag(typed, markupStyle()),
                   typed.description.isEmpty() ? static_cast<int>(EndTag.size()) : 0, true);
}

void TForm7::BitBtn1Click() {
    FileChooserRequest request;
    request.filters = {QStringLiteral("Web Files (*.htm *.html *.jpg *.gif)"),
                       QStringLiteral("Web Documents (*.htm *.html)"),
                       QStringLiteral("Graphics Files (*.jpg *.gif)")};
    request.defaultSuffix = QStringLiteral("htm");
    // A link may point at a page that is still to be written.
    request.mustExist = false;
    browse(m_url, request, m_description);
}

void TForm7::FormActivate() {
    m_url->setFocus(Qt::OtherFocusReason);
    moveCaretRight(m_url, 7);
}

void TForm7::FormCloseQuery() {
    resetUrl(m_url);
    m_description->clear();
    clearListField(m_target);
}

} // namespace vellumo
