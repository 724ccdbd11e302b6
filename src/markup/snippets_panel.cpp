#include "markup/snippets_panel.h"

#include "document/snippet_store.h"
#include "html/snippet_body.h"
#include "platform/platform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vellumo {

SnippetsPanel::SnippetsPanel(std::function<SnippetStore &()> store, Platform &platform,
                             QWidget *parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_platform(platform)
    , m_list(new QListWidget(this))
    , m_edit(new QPushButton(QStringLiteral("&Edit..."), this))
    , m_delete(new QPushButton(QStringLiteral("&Delete"), this)) {
    setObjectName(QStringLiteral("SnippetsTab"));
    m_list->setObjectName(QStringLiteral("SnippetsList"));
    auto *add = new QPushButton(QStringLiteral("&New..."), this);
    add->setObjectName(QStringLiteral("NewSnippetButton"));
    m_edit->setObjectName(QStringLiteral("EditSnippetButton"));
    m_delete->setObjectName(QStringLiteral("DeleteSnippetButton"));

    // One above the other, so the page never widens the side panel.
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::itemActivated, this, &SnippetsPanel::insertCurrent);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_edit->setEnabled(row >= 0);
        m_delete->setEnabled(row >= 0);
    });
    connect(add, &QPushButton::clicked, this, &SnippetsPanel::newSnippet);
    connect(m_edit, &QPushButton::clicked, this, &SnippetsPanel::editSnippet);
    connect(m_delete, &QPushButton::clicked, this, &SnippetsPanel::deleteSnippet);
    m_edit->setEnabled(false);
    m_delete->setEnabled(false);
}

void SnippetsPanel::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_filled)
        refresh();
}

void SnippetsPanel::refresh() {
    m_filled = true;
    const int row = m_list->currentRow();
    m_list->clear();
    for (const Snippet &snippet : m_store().snippets())
        m_list->addItem(QStringLiteral("%1 (%2)").arg(snippet.name, snippet.trigger));
    m_list->setCurrentRow(std::min(row, m_list->count() - 1));
}

void SnippetsPanel::insertCurrent() {
    const int row = m_list->currentRow();
    const QList<Snippet> &snippets = m_store().snippets();
    if (row >= 0 && row < snippets.size())
        Q_EMIT insertRequested(snippets.at(row));
}

void SnippetsPanel::newSnippet() {
    Snippet snippet;
    if (!edit(snippet, QStringLiteral("New Snippet"), -1))
        return;
    QList<Snippet> snippets = m_store().snippets();
    snippets.append(snippet);
    save(std::move(snippets));
    m_list->setCurrentRow(m_list->count() - 1);
}

void SnippetsPanel::editSnippet() {
    const int row = m_list->currentRow();
    QList<Snippet> snippets = m_store().snippets();
    if (row < 0 || row >= snippets.size())
        return;
    Snippet snippet = snippets.at(row);
    if (!edit(snippet, QStringLiteral("Edit Snippet"), row))
        return;
    snippets[row] = snippet;
    save(std::move(snippets));
}

void SnippetsPanel::deleteSnippet() {
    const int row = m_list->currentRow();
    QList<Snippet> snippets = m_store().snippets();
    if (row < 0 || row >= snippets.size())
        return;
    if (m_platform.ask(this, QStringLiteral("Delete Snippet"),
                       QStringLiteral("Delete the snippet \"%1\"?").arg(snippets.at(row).name),
                       QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    snippets.removeAt(row);
    save(std::move(snippets));
}

void SnippetsPanel::save(QList<Snippet> snippets) {
    SnippetStore &store = m_store();
    store.setSnippets(std::move(snippets));
    // A file that could not be written keeps the list in memory: nothing typed is lost
    // while the program runs, and the note says why the file did not change.
    if (!store.save() || !store.problem().isEmpty())
        Q_EMIT noted(store.problem());
    refresh();
}

bool SnippetsPanel::edit(Snippet &snippet, const QString &caption, int editedRow) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SnippetDialog"));
    dialog.setWindowTitle(caption);
    auto *name = new QLineEdit(snippet.name, &dialog);
    name->setObjectName(QStringLiteral("SnippetName"));
    auto *trigger = new QLineEdit(snippet.trigger, &dialog);
    trigger->setObjectName(QStringLiteral("SnippetTrigger"));
    auto *body = new QTextEdit(&dialog);
    body->setObjectName(QStringLiteral("SnippetBody"));
    body->setAcceptRichText(false);
    body->setTabChangesFocus(true);
    body->setPlainText(snippet.body);
    auto *why = new QLabel(&dialog);
    why->setObjectName(QStringLiteral("SnippetProblem"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), name);
    form->addRow(QStringLiteral("&Trigger:"), trigger);
    form->addRow(QStringLiteral("&Body:"), body);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(why);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        // What is wrong is said in the dialog, which stays open with the text as typed.
        const QString word = trigger->text().trimmed();
        const QList<Snippet> &snippets = m_store().snippets();
        QString problem;
        if (name->text().trimmed().isEmpty())
            problem = QStringLiteral("The snippet needs a name.");
        else if (!isValidTrigger(word))
            problem = QStringLiteral("A trigger is one word of letters, digits, - and _.");
        for (int row = 0; problem.isEmpty() && row < snippets.size(); ++row)
            if (row != editedRow && snippets.at(row).trigger == word)
                problem = QStringLiteral("The snippet \"%1\" has that trigger already.")
                              .arg(snippets.at(row).name);
        QString bodyError;
        if (problem.isEmpty() && !fillSnippet(body->toPlainText(), {}, {}, &bodyError))
            problem = QStringLiteral("The body cannot be written: %1").arg(bodyError);
        if (!problem.isEmpty()) {
            why->setText(problem);
            return;
        }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    snippet = Snippet{name->text().trimmed(), trigger->text().trimmed(), body->toPlainText()};
    return true;
}

} // namespace vellumo
