#include "generators/page_generator_dialog.h"

#include "document/page_file.h"
#include "editor/insertion_core.h"
#include "platform/home_page.h"
#include "platform/platform.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vellumo {

namespace {

const QString ViewCodeCaption = QStringLiteral("View Code");
const QString HideCodeCaption = QStringLiteral("Hide Code");

const char *const DescriptionParagraphs[] = {
    "To make other people find your site is not as easy as you might think. There are hundreds "
    "of search engines on the Internet and if your site is one of the first 10 sites in a search "
    "query your site will get much higher traffic.",
    "But how can I become one of the first 10 in a search query you might think. Well that is "
    "what I will help you with.",
    "This page generator will help you generate a page that is more likely to get a better "
    "position in a search engine based on your keywords.",
    "When you have generated the page you might want to add it to the most popular search "
    "engines.",
};

// The keyword fields' names in reading order (row by row, left to right).
const char *const KeywordNames[] = {"Edit3", "Edit4", "Edit5",  "Edit8",
                                    "Edit6", "Edit7", "Edit10", "Edit9"};

} // namespace

TForm10::TForm10(DialogContext &context, QWidget *parent)
    : ElementDialog(
          context,
          DialogTraits{QStringLiteral("Form10"), QStringLiteral("Page Generator"), 0, false},
          parent) {
    Pages = new QTabWidget(body());
    Pages->setObjectName(QStringLiteral("Pages"));
    DescriptionPage = buildDescriptionPage();
    GeneratorPage = buildGeneratorPage();
    Pages->addTab(DescriptionPage, QStringLiteral("Description"));
    Pages->addTab(GeneratorPage, QStringLiteral("Page Generator"));
    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Pages);

    generateButton = okButton();
    generateButton->setText(QStringLiteral("Generate"));
    exitButton = cancelButton();
    exitButton->setText(QStringLiteral("Exit"));
    viewCodeButton = new QPushButton(ViewCodeCaption, this);
    viewCodeButton->setObjectName(QStringLiteral("Button3"));
    viewCodeButton->hide();
    placeViewCodeButton();
    connect(generateButton, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(viewCodeButton, &QPushButton::clicked, this, &TForm10::Button3Click);

    // The check box stands under the address field but is reached last.
    setKeyboardOrder({titleField, forwardAddressField, Keywords[0], Keywords[1], Keywords[2],
                      Keywords[3], Keywords[4], Keywords[5], Keywords[6], Keywords[7],
                      siteDescriptionField, noForwarding});
    setTabOrder(exitButton, viewCodeButton);
}

void TForm10::placeViewCodeButton() {
    // The third button joins Generate and Exit in the button row, in front of them.
    for (auto *row : layout()->findChildren<QBoxLayout *>()) {
        const int at = row->indexOf(generateButton);
        if (at >= 0) {
            row->insertWidget(at, viewCodeButton);
            return;
        }
    }
}

QWidget *TForm10::buildDescriptionPage() {
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("DescriptionPage"));
    auto *layout = new QVBoxLayout(page);
    for (const char *paragraph : DescriptionParagraphs) {
        auto *label = new QLabel(QString::fromLatin1(paragraph), page);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch();
    return page;
}

QWidget *TForm10::buildGeneratorPage() {
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("GeneratorPage"));
    m_fieldsPanel = new QWidget(page);
    auto *grid = new QGridLayout(m_fieldsPanel);
    int row = 0;
    const auto addLabel = [&](const QString &text) {
        grid->addWidget(new QLabel(text, m_fieldsPanel), row++, 0, 1, 4);
    };

    addLabel(QStringLiteral("Title of the page  -  Be descriptive:"));
    titleField = makeTextField(m_fieldsPanel, QStringLiteral("Edit1"));
    grid->addWidget(titleField, row++, 0, 1, 4);
    addLabel(QStringLiteral("URL of your homepage to automatically forward the user to:"));
    forwardAddressField = makeTextField(m_fieldsPanel, QStringLiteral("Edit2"));
    grid->addWidget(forwardAddressField, row++, 0, 1, 4);
    noForwarding =
        new QCheckBox(QStringLiteral("Do not forward to this page automatically"), m_fieldsPanel);
    noForwarding->setObjectName(QStringLiteral("CheckBox1"));
    grid->addWidget(noForwarding, row++, 0, 1, 4);
    addLabel(QStringLiteral("Keywords:"));
    for (std::size_t k = 0; k < Keywords.size(); ++k) {
        Keywords[k] = makeTextField(m_fieldsPanel, QString::fromLatin1(KeywordNames[k]));
        grid->addWidget(Keywords[k], row + int(k / 4), int(k % 4));
    }
    row += 2;
    addLabel(QStringLiteral("Description of site:"));
    siteDescriptionField = makeTextField(m_fieldsPanel, QStringLiteral("Edit11"));
    grid->addWidget(siteDescriptionField, row++, 0, 1, 4);
    grid->setRowStretch(row, 1);
    m_fieldsPanel->setMinimumWidth(440);

    codeView = new QPlainTextEdit(page);
    codeView->setObjectName(QStringLiteral("RichEdit1"));
    codeView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The code view covers the whole page while it is shown.
    m_fieldsOrCode = new QStackedWidget(page);
    m_fieldsOrCode->addWidget(m_fieldsPanel);
    m_fieldsOrCode->addWidget(codeView);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_fieldsOrCode);
    return page;
}

SearchPageFields TForm10::fields() const {
    SearchPageFields f;
    f.title = titleField->text();
    f.url = forwardAddressField->text();
    f.description = siteDescriptionField->text();
    for (std::size_t k = 0; k < Keywords.size(); ++k)
        f.keywords[k] = Keywords[k]->text();
    f.forward = !noForwarding->isChecked();
    return f;
}

void TForm10::Button1Click() {
    if (ValidatePageFields())
        GeneratePage();
}

void TForm10::Button3Click() {
    showCodeView(m_fieldsOrCode->currentWidget() != codeView);
}

bool TForm10::ValidatePageFields() {
    const QString problem = searchPageProblem(fields());
    if (problem.isEmpty())
        return true;
    platform().showInformation(this, QStringLiteral("Information"), problem);
    // The box handed the activation back to this window.
    FormActivate();
    return false;
}

void TForm10::GeneratePage() {
    // The code view is hidden too, so that a cancelled save never leaves it over
    // the fields without the button that hides it.
    codeView->clear();
    viewCodeButton->hide();
    showCodeView(false);

    const QStringList lines = searchPageLines(fields(), core().attributeQuote(), ProgramHomePage);
    codeView->setPlainText(lines.join(u'\n'));

    FileChooserRequest request;
    request.filters =
        QStringList{QStringLiteral("HTML Files (*.htm *.html)"), QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("htm");
    request.mustExist = false;
    request.confirmOverwrite = true;
    const QString path = platform().chooseSaveFile(this, request);
    if (path.isEmpty())
        return;

    const QString reason = writeFileAtomically(path, searchPageBytes(lines));
    if (!reason.isEmpty()) {
        platform().showError(this, QStringLiteral("Vellumo"),
                             QStringLiteral("Cannot create file %1.\n%2")
                                 .arg(QDir::toNativeSeparators(path), reason));
        FormActivate();
        return;
    }
    viewCodeButton->show();
}

void TForm10::showCodeView(bool shown) {
    m_fieldsOrCode->setCurrentWidget(shown ? static_cast<QWidget *>(codeView) : m_fieldsPanel);
    viewCodeButton->setText(shown ? HideCodeCaption : ViewCodeCaption);
}

void TForm10::FormActivate() {
    Pages->setCurrentWidget(DescriptionPage);
}

void TForm10::FormCloseQuery() {
    titleField->clear();
    forwardAddressField->clear();
    siteDescriptionField->clear();
    for (QLineEdit *keyword : Keywords)
        keyword->clear();
    noForwarding->setChecked(false);
    codeView->clear();
    showCodeView(false);
    viewCodeButton->hide();
}

} // namespace vellumo
