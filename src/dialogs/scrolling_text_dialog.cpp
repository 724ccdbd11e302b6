#include "dialogs/scrolling_text_dialog.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {

// The script with Q in place of every attribute quote and M in place of the message.
// Each line ends in a break, the last one included.
constexpr const char *ScrollingScript[] = {
    "<SCRIPT LANGUAGE=QJavaScriptQ>",
    "function scrollit_r2l(seed)",
    "{",
    "var msg =QMQ;",
    "var out = Q Q;",
    "var c = 1;",
    "",
    "if (seed > 100) {",
    "seed--;",
    "var cmd=Qscrollit_r2l(Q + seed + Q)Q;",
    "timerTwo=window.setTimeout(cmd,100);",
    "}",
    "else if (seed <= 100 && seed > 0) {",
    "for (c=0 ; c < seed ; c++) {",
    "out+=Q Q;",
    "}",
    "out+=msg;",
    "seed--;",
    "var cmd=Qscrollit_r2l(Q + seed + Q)Q;",
    "window.status=out;",
    "timerTwo=window.setTimeout(cmd,100);",
    "}",
    "else if (seed <= 0) {",
    "if (-seed < msg.length) {",
    "out+=msg.substring(-seed,msg.length);",
    "seed--;",
    "var cmd=Qscrollit_r2l(Q + seed + Q)Q;",
    "window.status=out;",
    "timerTwo=window.setTimeout(cmd,100);",
    "}",
    "else {",
    "window.status=Q Q;",
    "timerTwo=window.setTimeout(Qscrollit_r2l(100)Q,75);",
    "}",
    "}",
    "}",
    "</SCRIPT>",
    "<BODY onload=Qscrollit_r2l(99)Q>",
};

} // namespace

QString scrollingTextScript(const QString &message, const QString &quote) {
    // The message is the script's string, so a quote in it must not end the string.
    const QString written = scriptStringValue(message, quote);
    QString script;
    for (const char *line : ScrollingScript) {
        // Filled in character by character, so a message holding Q or M stays as typed.
        for (const char *c = line; *c != '\0'; ++c) {
            if (*c == 'Q')
                script += quote;
            else if (*c == 'M')
                script += written;
            else
                script += QLatin1Char(*c);
        }
        script += QLatin1Char('\n');
    }
    return script;
}

std::optional<QString> scrollingTextMessage(QStringView page, const QString &quote) {
    // The message stands on the script's fourth line: var msg =QMQ;
    const QString opening = QStringLiteral("\nvar msg =") + quote;
    const qsizetype line = page.indexOf(opening);
    if (line < 0)
        return std::nullopt;
    const qsizetype from = line + opening.size();
    const qsizetype end = page.indexOf(u'\n', from);
    const QString closing = quote + QLatin1Char(';');
    if (end < 0 || !page.mid(from, end - from).endsWith(closing))
        return std::nullopt;
    const QString message = scriptStringText(page.mid(from, end - from - closing.size()));
    if (!page.startsWith(scrollingTextScript(message, quote)))
        return std::nullopt;
    return message;
}

TForm18::TForm18(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          DialogTraits{QStringLiteral("Form18"), QStringLiteral("Scrolling Text"), 58, false},
          parent)
    , m_message(makeTextField(body(), QStringLiteral("Edit1"))) {
    // The shadowed "ABC" at the top left: red one pixel right of and below black.
    QFont abcFont(QStringLiteral("Times New Roman"));
    abcFont.setPixelSize(21);
    abcFont.setBold(true);
    auto *abc = new QWidget(body());
    auto *shadow = new QLabel(QStringLiteral("ABC"), abc);
    auto *face = new QLabel(QStringLiteral("ABC"), abc);
    for (QLabel *label : {shadow, face})
        label->setFont(abcFont);
    shadow->setStyleSheet(QStringLiteral("color: red"));
    face->setStyleSheet(QStringLiteral("color: black"));
    shadow->move(1, 1);
    abc->setFixedSize(face->sizeHint() + QSize(1, 1));

    m_message->setMinimumWidth(240);
    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(abc, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(QStringLiteral("Text to scroll"), body()), 0, 1);
    grid->addWidget(m_message, 1, 1);
    setBevelled();
    setKeyboardOrder({m_message});
    connect(okButton(), &QPushButton::clicked, this, &TForm18::Button1Click);
}

bool TForm18::recognisesMarkup(const PageElement &element) const {
    return scrollingTextMessage(element.markup(), markupStyle().quote).has_value();
}

void TForm18::fillFromElement(const PageElement &element) {
    m_message->setText(
        scrollingTextMessage(element.markup(), markupStyle().quote).value_or(QString()));
}

QString TForm18::markup() const {
    return scrollingTextScript(m_message->text(), markupStyle().quote);
}

void TForm18::Button1Click() {
    insertAndClose(scrollingTextScript(m_message->text(), markupStyle().quote));
}

void TForm18::FormShow() {
    m_message->setFocus(Qt::OtherFocusReason);
}

void TForm18::FormCloseQuery() {
    m_message->clear();
}

} // namespace vellumo
