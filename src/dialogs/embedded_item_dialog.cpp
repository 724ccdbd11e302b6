#include "dialogs/embedded_item_dialog.h"

#include "widgets/number_field.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString embeddedItemTag(const EmbeddedItemFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .quoted(QStringLiteral("<EMBEDED SRC="), fields.item)
        .unquotedIfFilled(QStringLiteral(" WIDTH="), fields.width)
        .unquotedIfFilled(QStringLiteral(" HEIGHT="), fields.height)
        .text(QStringLiteral(">"))
        .result();
}

TForm28::TForm28(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          DialogTraits{QStringLiteral("Form28"), QStringLiteral("Embeded Item"), 55, false}, parent)
    , m_item(makeTextField(body(), QStringLiteral("Edit1")))
    , m_height(new NumberField(QStringLiteral("Edit2"), QStringLiteral("UpDown1"), 0, 100, body()))
    , m_width(new NumberField(QStringLiteral("Edit3"), QStringLiteral("UpDown2"), 0, 100, body()))
    , m_browse(makeBrowseButton(body())) {
    m_height->setText(QStringLiteral("0"));
    m_width->setText(QStringLiteral("0"));
    m_item->setMinimumWidth(220);
    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Embeded Item"), body()), 0, 0);
    grid->addWidget(m_item, 0, 1, 1, 3);
    grid->addWidget(m_browse, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Height"), body()), 1, 0);
    grid->addWidget(m_height, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Width"), body()), 1, 2);
    grid->addWidget(m_width, 1, 3);
    setKeyboardOrder({m_item, m_height->edit(), m_width->edit(), m_browse});
    connect(okButton(), &QPushButton::clicked, this, &TForm28::Button1Click);
    connect(m_browse, &QPushButton::clicked, this, &TForm28::BitBtn1Click);
}

EmbeddedItemFields TForm28::fields() const {
    return EmbeddedItemFields{m_item->text(), m_height->text(), m_width->text()};
}

QList<AttributeField> TForm28::attributeFields() const {
    return {{QStringLiteral("SRC"), m_item},
            {QStringLiteral("WIDTH"), m_width},
            {QStringLiteral("HEIGHT"), m_height}};
}

QString TForm28::markup() const {
    return embeddedItemTag(fields(), markupStyle());
}

void TForm28::Button1Click() {
    insertAndClose(embeddedItemTag(fields(), markupStyle()));
}

void TForm28::BitBtn1Click() {
    FileChooserRequest request;
    request.filters = {QStringLiteral("All Files (*)")};
    request.mustExist = true;
    browse(m_item, request, m_height->edit());
}

void TForm28::FormActivate() {
    m_height->clear();
    m_width->clear();
    m_item->setFocus(Qt::OtherFocusReason);
}

void TForm28::FormCloseQuery() {
    m_item->clear();
    m_height->clear();
    m_width->clear();
}

} // namespace vellumo
