#include "dialogs/script_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellumo {

QString scriptElement(const ScriptFields &fields, const MarkupStyle &style) {
    return TagWriter(style)
        .literal(QStringLiteral("<SCRIPT"))
        .quotedIfFilled(QStringLiteral(" LANGUAGE="), fields.language)
        .quotedIfFilled(QStringLiteral(" SOURCE="), fields.source)
        .text(QStringLiteral(">"))
        .lineBreak()
        .literal(QStringLiteral("</SCRIPT>"))
        .lineBreak()
        .result();
}

TForm24::TForm24(DialogContext &context, QWidget *parent)
    : ElementDialog(context,
                    DialogTraits{QStringLiteral("Form24"), QStringLiteral("Script"), 52, false},
                    parent)
    , m_language(makeListField(body(), QStringLiteral("ComboBox1"),
                               {QStringLiteral("JavaScript"), QStringLiteral("JavaScript1.1"),
                                QStringLiteral("JavaScript1.2"), QStringLiteral("JScript"),
                                QStringLiteral("VBScript")}))
    , m_source(makeTextField(body(), QStringLiteral("Edit1")))
    , m_browse(makeBrowseButton(body())) {
    m_source->setMinimumWidth(200);
    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(m_browse);
    auto *form = new QFormLayout(body());
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Language"), m_language);
    form->addRow(QStringLiteral("Source"), sourceRow);
    setKeyboardOrder({m_language, m_source, m_browse});
    connect(okButton(), &QPushButton::clicked, this, &TForm24::Button1Click);
    connect(m_browse, &QPushButton::clicked, this, &TForm24::BitBtn1Click);
}

ScriptFields TForm24::fields() const {
    return ScriptFields{m_language->currentText(), m_source->text()};
}

QList<AttributeField> TForm24::attributeFields() const {
    return {{QStringLiteral("LANGUAGE"), m_language}, {QStringLiteral("SOURCE"), m_source}};
}

QString TForm24::markup() const {
    return scriptElement(fields(), markupStyle());
}

void TForm24::Button1Click() {
    insertAndClose(scriptElement(fields(), markupStyle()));
}

void TForm24::BitBtn1Click() {
    FileChooserRequest request;
    request.filters = {QStringLiteral("All Files (*)")};
    request.mustExist = true;
    browse(m_source, request, nullptr);
}

void TForm24::FormShow() {
    m_language->setFocus(Qt::OtherFocusReason);
}

void TForm24::FormCloseQuery() {
    clearListField(m_language);
    m_source->clear();
}

} // namespace vellumo
