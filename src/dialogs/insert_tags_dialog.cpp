#include "dialogs/insert_tags_dialog.h"

#include "editor/insertion_core.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace vellumo {

namespace {

// Lowers whatever enters the tag field while it is in lower-case mode, typed or pasted alike.
class LowerCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override {
        input = input.toLower();
        position = std::min(position, static_cast<int>(input.size()));
        return Acceptable;
    }
};

} // namespace

const QStringList &insertTagsItems() {
    static const QStringList items{
        QStringLiteral("<!-- -->"),
        QStringLiteral("<!DOCTYPE>"),
        QStringLiteral("<A HREF=\"\"></A>"),
        QStringLiteral("<A NAME=\"\"></A>"),
        QStringLiteral("<ABBREV></ABBREV>"),
        QStringLiteral("<ACRONYM></ACRONYM>"),
        QStringLiteral("<ADDRESS></ADDRESS>"),
        QStringLiteral("<APPLET></APPLET>"),
        QStringLiteral("<AREA></AREA>"),
        QStringLiteral("<AU></AU>"),
        QStringLiteral("<B></B>"),
        QStringLiteral("<BANNER></BANNER>"),
        QStringLiteral("<BASE></BASE>"),
        QStringLiteral("<BASEFONT></BASEFONT>"),
        QStringLiteral("<BGSOUND></BGSOUND>"),
        QStringLiteral("<BIG></BIG>"),
        QStringLiteral("<BLINK></BLINK>"),
        QStringLiteral("<BLOCKQUOTE></BLOCKQUOTE>"),
        QStringLiteral("<BODY></BODY>"),
        QStringLiteral("<BQ></BQ>"),
        QStringLiteral("<BR>"),
        QStringLiteral("<CAPTION></CAPTION>"),
        QStringLiteral("<CENTER></CENTER>"),
        QStringLiteral("<CITE></CITE>"),
        QStringLiteral("<CODE></CODE>"),
        QStringLiteral("<COMMENT></COMMENT>"),
        QStringLiteral("<DD>"),
        QStringLiteral("<DEL></DEL>"),
        QStringLiteral("<DFN></DFN>"),
        QStringLiteral("<DIR></DIR>"),
        QStringLiteral("<DIV></DIV>"),
        QStringLiteral("<DL></DL>"),
        QStringLiteral("<DT>"),
        QStringLiteral("<EM></EM>"),
        QStringLiteral("<FIG></FIG>"),
        QStringLiteral("<FN></FN>"),
        QStringLiteral("<FONT></FONT>"),
        QStringLiteral("<FORM></FORM>"),
        QStringLiteral("<FRAME></FRAME>"),
        QStringLiteral("<FRAMESET></FRAMESET>"),
        QStringLiteral("<H1></H1>"),
        QStringLiteral("<H2></H2>"),
        QStringLiteral("<H3></H3>"),
        QStringLiteral("<H4></H4>"),
        QStringLiteral("<H5></H5>"),
        QStringLiteral("<H6></H6>"),
        QStringLiteral("<HEAD></HEAD>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<HTML></HTML>"),
        QStringLiteral("<I></I>"),
        QStringLiteral("<IMG></IMG>"),
        QStringLiteral("<INPUT TYPE=></INPUT>"),
        QStringLiteral("<INS></INS>"),
        QStringLiteral("<ISINDEX></ISINDEX>"),
        QStringLiteral("<KBD></KBD>"),
        QStringLiteral("<LI>"),
        QStringLiteral("<LINK>"),
        QStringLiteral("<LISTING></LISTING>"),
        QStringLiteral("<MAP></MAP>"),
        QStringLiteral("<MARQUEE></MARQUEE>"),
        QStringLiteral("<MENU></MENU>"),
        QStringLiteral("<META>"),
        QStringLiteral("<MULTICOL></MULTICOL>"),
        QStringLiteral("<NEXTID>"),
        QStringLiteral("<NOBR></NOBR>"),
        QStringLiteral("<NOFRAMES></NOFRAMES>"),
        QStringLiteral("<NOTE></NOTE>"),
        QStringLiteral("<OL></OL>"),
        QStringLiteral("<OPTION>"),
        QStringLiteral("<OVERLAY>"),
        QStringLiteral("<P></P>"),
        QStringLiteral("<PARAM></PARAM>"),
        QStringLiteral("<PERSON></PERSON>"),
        QStringLiteral("<PLAINTEXT></PLAINTEXT>"),
        QStringLiteral("<PRE></PRE>"),
        QStringLiteral("<Q></Q>"),
        QStringLiteral("<RANGE>"),
        QStringLiteral("<S></S>"),
        QStringLiteral("<SAMP></SAMP>"),
        QStringLiteral("<SELECT></SELECT>"),
        QStringLiteral("<SMALL></SMALL>"),
        QStringLiteral("<SPACER>"),
        QStringLiteral("<STRIKE></STRIKE>"),
        QStringLiteral("<STRONG></STRONG>"),
        QStringLiteral("<STYLE>"),
        QStringLiteral("<SUB></SUB>"),
        QStringLiteral("<SUP></SUP>"),
        QStringLiteral("<TAB>"),
        QStringLiteral("<TABLE></TABLE>"),
        QStringLiteral("<TD></TD>"),
        QStringLiteral("<TEXTAREA></TEXTAREA>"),
        QStringLiteral("<TH></TH>"),
        QStringLiteral("<TITLE></TITLE>"),
        QStringLiteral("<TR></TR>"),
        QStringLiteral("<TT></TT>"),
        QStringLiteral("<U></U>"),
        QStringLiteral("<UL></UL>"),
        QStringLiteral("<VAR></VAR>"),
        QStringLiteral("<WBR></WBR>"),
        QStringLiteral("<XMP></XMP>"),
    };
    return items;
}

TForm17::TForm17(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    {QStringLiteral("Form17"), QStringLiteral("Insert Tags"), 46,
                     /*escapeCancels=*/false},
                    parent)
    , m_list(new QListWidget(body()))
    , m_field(new QLineEdit(body()))
    , m_lowerCase(new LowerCaseValidator(this)) {
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(177, 201);
    m_list->addItems(insertTagsItems());
    m_field->setObjectName(QStringLiteral("Edit1"));

    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    layout->addWidget(m_field);
    setKeyboardOrder({m_list, m_field});

    connect(m_list, &QListWidget::itemClicked, this, &TForm17::ListBox1Click);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ListBox1Click();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TForm17::ListBox1DblClick);
    // OK inserts and leaves the dialog open for the next tag; Cancel closes it.
    connect(okButton(), &QPushButton::clicked, this, &TForm17::Button1Click);
}

void TForm17::ListBox1Click() {
    // The case mode is chosen on every pick, so a toggle of the tag case while the dialog
    // was closed takes effect with the next tag picked.
    const bool lower = !core().IsUpperTagCase();
    setForcedLowerCase(lower);
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    m_field->setText(lower ? item->text().toLower() : item->text());
}

void TForm17::ListBox1DblClick() {
    ListBox1Click();
    Button1Click();
}

void TForm17::Button1Click() {
    core().InsertAtCaret(m_field->text());
}

void TForm17::Button2Click() {
    reject();
}

void TForm17::FormCloseQuery() {
    m_field->clear();
}

void TForm17::setForcedLowerCase(bool lower) {
    m_field->setValidator(lower ? m_lowerCase : nullptr);
}

} // namespace vellumo
