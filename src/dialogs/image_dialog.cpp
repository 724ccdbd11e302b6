#include "dialogs/image_dialog.h"

#include "widgets/glyph_icon.h"
#include "widgets/number_field.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumo {

QString imageTag(const ImageFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<IMG SRC="))
        .quotedValue(fields.image)
        .unquotedIfFilled(QStringLiteral(" WIDTH="), fields.width)
        .unquotedIfFilled(QStringLiteral(" HEIGHT="), fields.height)
        .unquoted(QStringLiteral(" BORDER="), fields.borderWidth)
        .quotedIfFilled(QStringLiteral(" ALIGN="), fields.align)
        .quoted(QStringLiteral(" ALT="), fields.alternateText)
        .text(QStringLiteral(">"))
        .result();
}

TForm5::TForm5(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form5"), QStringLiteral("Image"), 39, false},
                    parent) {
    auto *group = new QGroupBox(QStringLiteral("Proporties:"), body());
    m_browse = makeBrowseButton(group);
    m_image = makeTextField(group, QStringLiteral("Edit1"));
    m_alternateText = makeTextField(group, QStringLiteral("Edit2"));
    m_border = new NumberField(QStringLiteral("Edit3"), QStringLiteral("UpDown1"), 0, 10, group);
    m_border->setText(QStringLiteral("0"));
    m_align = makeListField(group, QStringLiteral("ComboBox1"),
                            {QStringLiteral("TOP"), QStringLiteral("LEFT"), QStringLiteral("RIGHT"),
                             QStringLiteral("MIDDLE"), QStringLiteral("TEXTTOP"),
                             QStringLiteral("ABSMIDDLE"), QStringLiteral("BASELINE"),
                             QStringLiteral("BOTTOM")});
    m_width = makeTextField(group, QStringLiteral("Edit5"));
    m_height = makeTextField(group, QStringLiteral("Edit4"));

    auto *imageRow = new QHBoxLayout;
    imageRow->addWidget(m_image, 1);
    imageRow->addWidget(m_browse);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Image"), group), 0, 0);
    grid->addLayout(imageRow, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Alternate Text"), group), 1, 0);
    grid->addWidget(m_alternateText, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Border Width"), group), 2, 0);
    // A small picture beside the border field.
    auto *borderRow = new QHBoxLayout;
    borderRow->addWidget(m_border);
    auto *picture = new QLabel(group);
    picture->setPixmap(glyphIcon(QStringLiteral("\u25A3"), QColor(0, 110, 110)).pixmap(16, 16));
    borderRow->addWidget(picture);
    grid->addLayout(borderRow, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Align"), group), 2, 2);
    grid->addWidget(m_align, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Width"), group), 3, 0);
    grid->addWidget(m_width, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Height"), group), 3, 2);
    grid->addWidget(m_height, 3, 3);
    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    m_image->setMinimumWidth(220);

    setKeyboardOrder(
        {m_browse, m_image, m_alternateText, m_border->edit(), m_align, m_width, m_height});
    connect(okButton(), &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(m_browse, &QPushButton::clicked, this, &TForm5::BitBtn1Click);
}

ImageFields TForm5::fields() const {
    return ImageFields{m_image->text(),        m_alternateText->text(), m_border->text(),
                       m_align->currentText(), m_width->text(),         m_height->text()};
}

QList<AttributeField> TForm5::attributeFields() const {
    return {{QStringLiteral("SRC"), m_image},     {QStringLiteral("ALT"), m_alternateText},
            {QStringLiteral("BORDER"), m_border}, {QStringLiteral("ALIGN"), m_align},
            {QStringLiteral("WIDTH"), m_width},   {QStringLiteral("HEIGHT"), m_height}};
}

QString TForm5::markup() const {
    return imageTag(fields(), markupStyle());
}

void TForm5::Button1Click() {
    if (m_image->text().isEmpty()) {
        reportError(
            QStringLiteral("You have to select an image before you can insert the HTML text!"));
        return;
    }
    insertAndClose(imageTag(fields(), markupStyle()));
}

void TForm5::BitBtn1Click() {
    FileChooserRequest request;
    request.filters = {QStringLiteral("Image Files (*.gif *.jpg)"),
                       QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("gif");
    request.mustExist = true;
    browse(m_image, request, m_alternateText);
}

void TForm5::FormActivate() {
    m_image->setFocus(Qt::OtherFocusReason);
}

void TForm5::FormCloseQuery() {
    m_image->clear();
    m_alternateText->clear();
    m_width->clear();
    m_height->clear();
    clearListField(m_align);
    m_border->setText(QStringLiteral("0"));
}

} // namespace vellumo
