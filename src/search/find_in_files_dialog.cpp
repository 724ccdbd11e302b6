#include "search/find_in_files_dialog.h"

#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumo {

namespace {

const QString FindHistoryKey = QStringLiteral("FindHistory");

QCheckBox *option(const QString &name, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

FindInFilesDialog::FindInFilesDialog(Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_text(new QComboBox(this))
    , m_matchCase(option(QStringLiteral("MatchCase"), tr("Match case"), this))
    , m_wholeWords(option(QStringLiteral("WholeWords"), tr("Whole words"), this))
    , m_regularExpression(
          option(QStringLiteral("RegularExpression"), tr("Regular expression"), this))
    , m_folder(new QLineEdit(this))
    , m_filePatterns(new QLineEdit(FileSearchRequest().filePatterns, this))
    , m_subfolders(
          option(QStringLiteral("FindInFilesSubfolders"), tr("Include sub-folders"), this)) {
    setObjectName(QStringLiteral("FindInFilesDialog"));
    setWindowTitle(tr("Find in Files"));
    m_text->setObjectName(QStringLiteral("FindInFilesText"));
    m_text->setEditable(true);
    m_text->setCompleter(nullptr);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMinimumContentsLength(30);
    m_folder->setObjectName(QStringLiteral("FindInFilesFolder"));
    m_filePatterns->setObjectName(QStringLiteral("FindInFilesPatterns"));
    m_subfolders->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(tr("&Find:"), m_text);
    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWords);
    options->addWidget(m_regularExpression);
    options->addStretch();
    form->addRow(QString(), options);
    form->addRow(tr("F&older:"), m_folder);
    form->addRow(tr("F&iles:"), m_filePatterns);
    form->addRow(QString(), m_subfolders);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Find"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_text->currentText().isEmpty() || m_folder->text().trimmed().isEmpty())
            return;
        rememberText();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FindInFilesDialog::prepare(const QString &folder, const QString &selectedText) {
    const QString typed = selectedText.isEmpty() ? m_text->currentText() : selectedText;
    m_text->clear();
    m_text->addItems(m_platform.readSetting(FindHistoryKey).toStringList());
    m_text->setEditText(typed);
    m_text->lineEdit()->selectAll();
    m_text->setFocus();
    m_folder->setText(folder);
}

FileSearchRequest FindInFilesDialog::request() const {
    SearchOptions options;
    options.setFlag(SearchOption::MatchCase, m_matchCase->isChecked());
    options.setFlag(SearchOption::WholeWords, m_wholeWords->isChecked());
    options.setFlag(SearchOption::RegularExpression, m_regularExpression->isChecked());
    FileSearchRequest request;
    request.folder = m_folder->text().trimmed();
    request.filePatterns = m_filePatterns->text();
    request.subfolders = m_subfolders->isChecked();
    request.search = TextSearch(m_text->currentText(), options);
    return request;
}

void FindInFilesDialog::rememberText() {
    const QString text = m_text->currentText();
    QStringList list = m_platform.readSetting(FindHistoryKey).toStringList();
    list.removeAll(text);
    list.prepend(text);
    m_platform.writeSetting(FindHistoryKey, list.mid(0, 10));
}

void showFileMatch(DocumentController &document, InsertionCore &core, const QString &path,
                   int start, int length) {
    const QString open = QFileInfo(document.CurrentFileName).canonicalFilePath();
    if (open.isEmpty() || open != QFileInfo(path).canonicalFilePath()) {
        if (!document.openAfterAsking(path))
            return;
    }
    core.page().select(start, start + length);
    core.FocusEditor();
}

} // namespace vellumo
