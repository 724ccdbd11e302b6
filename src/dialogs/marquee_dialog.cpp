#include "dialogs/marquee_dialog.h"

#include "widgets/number_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

namespace {

const QString Zero = QStringLiteral("0");

void addLabelled(QGridLayout *grid, QWidget *field, const QString &caption, int row, int column) {
    grid->addWidget(new QLabel(caption, field->parentWidget()), row, column);
    grid->addWidget(field, row + 1, column);
}

} // namespace

QString marqueeElement(const MarqueeFields &fields, const MarkupStyle &style) {
    TagWriter writer(style);
    const auto unlessZero = [&writer](const QString &piece, const QString &value) {
        if (value != Zero)
            writer.unquoted(piece, value);
    };
    writer.literal(QStringLiteral("<MARQUEE"))
        .quotedIfFilled(QStringLiteral(" ALIGN="), fields.alignment);
    unlessZero(QStringLiteral(" HEIGHT="), fields.height);
    unlessZero(QStringLiteral(" WIDTH="), fields.width);
    writer.quotedIfFilled(QStringLiteral(" BGCOLOR="), fields.background)
        .unquotedIfFilled(QStringLiteral(" BEHAVIOR="), fields.behavior)
        .quotedIfFilled(QStringLiteral(" DIRECTION="), fields.direction);
    unlessZero(QStringLiteral(" HSPACE="), fields.hspace);
    unlessZero(QStringLiteral(" VSPACE="), fields.vspace);
    if (fields.infinite)
        writer.literal(QStringLiteral(" LOOP=INFINITE"));
    else
        writer.unquoted(QStringLiteral(" LOOP="), fields.loop);
    return writer.text(QStringLiteral(">"))
        .text(fields.text)
        .literal(QStringLiteral("</MARQUEE>"))
        .result();
}

TForm12::TForm12(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form12"), QStringLiteral("Marquee"), 42, false},
                    parent) {
    QWidget *panel = body();
    m_text = makeTextField(panel, QStringLiteral("Edit1"));
    m_width = makeDigitsField(panel, QStringLiteral("MultiBaseEdit5"), QStringLiteral("UpDown5"));
    m_vspace = makeDigitsField(panel, QStringLiteral("MultiBaseEdit1"), QStringLiteral("UpDown1"));
    m_loop = makeDigitsField(panel, QStringLiteral("MultiBaseEdit3"), QStringLiteral("UpDown3"));
    m_height = makeDigitsField(panel, QStringLiteral("MultiBaseEdit4"), QStringLiteral("UpDown4"));
    m_hspace = makeDigitsField(panel, QStringLiteral("MultiBaseEdit2"), QStringLiteral("UpDown2"));
    m_infinite = new QCheckBox(QStringLiteral("Infinite"), panel);
    m_infinite->setObjectName(QStringLiteral("CheckBox1"));
    m_infinite->setChecked(true);
    m_alignment =
        makeListField(panel, QStringLiteral("ComboBox4"),
                      {QStringLiteral("Top"), QStringLiteral("Middle"), QStringLiteral("Bottom")});
    m_direction = makeListField(panel, QStringLiteral("ComboBox2"),
                                {QStringLiteral("Left"), QStringLiteral("Right")});
    m_behavior = makeListField(
        panel, QStringLiteral("ComboBox1"),
        {QStringLiteral("Scroll"), QStringLiteral("Slide"), QStringLiteral("Alternate")});
    m_background =
        makeListField(panel, QStringLiteral("ComboBox3"),
                      {QStringLiteral("Black"), QStringLiteral("Olive"), QStringLiteral("Teal"),
                       QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Maroon"),
                       QStringLiteral("Navy"), QStringLiteral("Gray"), QStringLiteral("Lime"),
                       QStringLiteral("Fuchsia"), QStringLiteral("White"), QStringLiteral("Green"),
                       QStringLiteral("Purple"), QStringLiteral("Silver"), QStringLiteral("Yellow"),
                       QStringLiteral("Aqua")});

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Text to Scroll"), panel), 0, 0, 1, 3);
    grid->addWidget(m_text, 1, 0, 1, 3);
    addLabelled(grid, m_width, QStringLiteral("Width"), 2, 0);
    addLabelled(grid, m_vspace, QStringLiteral("VSpace"), 2, 1);
    addLabelled(grid, m_loop, QStringLiteral("Loop"), 2, 2);
    addLabelled(grid, m_height, QStringLiteral("Height"), 4, 0);
    addLabelled(grid, m_hspace, QStringLiteral("HSpace"), 4, 1);
    grid->addWidget(m_infinite, 5, 2);
    auto *line = new QFrame(panel);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 6, 0, 1, 3);
    addLabelled(grid, m_alignment, QStringLiteral("Text Alignment"), 7, 0);
    addLabelled(grid, m_direction, QStringLiteral("Direction to Scroll"), 7, 1);
    addLabelled(grid, m_behavior, QStringLiteral("Behavior"), 7, 2);
    addLabelled(grid, m_background, QStringLiteral("Background Color"), 9, 0);

    setBevelled();
    setKeyboardOrder({m_text, m_width->edit(), m_height->edit(), m_vspace->edit(), m_hspace->edit(),
                      m_loop->edit(), m_infinite, m_alignment, m_direction, m_behavior,
                      m_background});
    connect(okButton(), &QPushButton::clicked, this, &TForm12::Button1Click);
    connect(m_loop->edit(), &QLineEdit::textChanged, this, &TForm12::MultiBaseEdit3Change);
}

MarqueeFields TForm12::fields() const {
    return MarqueeFields{m_text->text(),
                         m_width->text(),
                         m_height->text(),
                         m_vspace->text(),
                         m_hspace->text(),
                         m_loop->text(),
                         m_infinite->isChecked(),
                         m_alignment->currentText(),
                         m_direction->currentText(),
                         m_behavior->currentText(),
                         m_background->currentText()};
}

QList<AttributeField> TForm12::attributeFields() const {
    return {{QString(), m_text},
            {QStringLiteral("WIDTH"), m_width},
            {QStringLiteral("HEIGHT"), m_height},
            {QStringLiteral("VSPACE"), m_vspace},
            {QStringLiteral("HSPACE"), m_hspace},
            {QStringLiteral("ALIGN"), m_alignment},
            {QStringLiteral("DIRECTION"), m_direction},
            {QStringLiteral("BEHAVIOR"), m_behavior},
            {QStringLiteral("BGCOLOR"), m_background}};
}

QString TForm12::markup() const {
    return marqueeElement(fields(), markupStyle());
}

void TForm12::fillFromElement(const PageElement &element) {
    ElementDialog::fillFromElement(element);
    fillLoop(element, m_loop, m_infinite);
}

void TForm12::Button1Click() {
    insertAndClose(marqueeElement(fields(), markupStyle()));
}

void TForm12::MultiBaseEdit3Change() {
    m_infinite->setChecked(false);
}

void TForm12::FormActivate() {
    m_text->setFocus(Qt::OtherFocusReason);
}

void TForm12::FormCloseQuery() {
    m_text->clear();
    for (NumberField *field : {m_width, m_height, m_vspace, m_hspace, m_loop})
        field->setText(Zero);
    // After the Loop reset, whose change would uncheck it.
    m_infinite->setChecked(true);
    clearListField(m_alignment);
    clearListField(m_background);
    clearListField(m_direction);
    clearListField(m_behavior);
}

} // namespace vellumo
