#include "dialogs/map_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString imageMapSkeleton(const QString &mapName, const MarkupStyle &style) {
    return TagWriter(style)
        .quoted(QStringLiteral("<MAP NAME="), mapName)
        .text(QStringLiteral(">"))
        .lineBreak()
        .quoted(QStringLiteral("<AREA SHAPE="), QString())
        .quoted(QStringLiteral(" COORDS="), QString())
        .quoted(QStringLiteral(" HREF="), QString())
        .text(QStringLiteral(">"))
        .lineBreak()
        .literal(QStringLiteral("</MAP>"))
        .lineBreak()
        .result();
}

TForm22::TForm22(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form22"), QStringLiteral("Map Name"), 50, false},
                    parent)
    , m_name(makeTextField(body(), QStringLiteral("Edit1"))) {
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Map Name"), m_name);
    setKeyboardOrder({m_name});
    connect(okButton(), &QPushButton::clicked, this, &TForm22::Button1Click);
}

QList<AttributeField> TForm22::attributeFields() const {
    return {{QStringLiteral("NAME"), m_name}};
}

QString TForm22::markup() const {
    return imageMapSkeleton(m_name->text(), markupStyle());
}

void TForm22::Button1Click() {
    insertAndClose(imageMapSkeleton(m_name->text(), markupStyle()));
}

void TForm22::FormShow() {
    m_name->setFocus(Qt::OtherFocusReason);
}

void TForm22::FormCloseQuery() {
    m_name->clear();
}

} // namespace vellumo
