#include "search/search_commands.h"

#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "search/find_bar.h"
#include "search/find_in_files_dialog.h"
#include "search/search_results.h"

#include <QFileInfo>
#include <QSplitter>
#include <QVBoxLayout>

namespace vellumo {

SearchCommands::SearchCommands(InsertionCore &core, Platform &platform, QWidget *window)
    : QObject(window)
    , m_core(core)
    , m_platform(platform)
    , m_window(window)
    , m_findBar(new FindBar(core, platform))
    , m_results(new SearchResults) {
    m_results->hide();
    connect(m_results, &SearchResults::openRequested, this,
            [this](const QString &path, int start, int length) {
                if (m_document != nullptr)
                    showFileMatch(*m_document, m_core, path, start, length);
            });
}

QWidget *SearchCommands::editorColumn(QWidget *editor, const QList<QWidget *> &otherPanels) {
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The results panel shares the height with the editor; the user moves the line between.
    auto *splitter = new QSplitter(Qt::Vertical, column);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(editor);
    splitter->addWidget(m_results);
    for (QWidget *panel : otherPanels)
        splitter->addWidget(panel);
    splitter->setStretchFactor(0, 3);
    for (int panel = 1; panel < splitter->count(); ++panel)
        splitter->setStretchFactor(panel, 1);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_findBar);
    return column;
}

void SearchCommands::Find1Click() {
    m_findBar->showFind();
}

void SearchCommands::FindNext1Click() {
    m_findBar->findNext();
}

void SearchCommands::FindPrevious1Click() {
    m_findBar->findPrevious();
}

void SearchCommands::Replace1Click() {
    m_findBar->showReplace();
}

void SearchCommands::FindInFiles1Click(const QString &folder) {
    QString start = folder;
    if (start.isEmpty() && m_document != nullptr && m_document->CurrentFileName != UntitledFileName)
        start = QFileInfo(m_document->CurrentFileName).absolutePath();
    const QString selected = m_core.page().selectedText();
    FindInFilesDialog dialog(m_platform, m_window);
    dialog.prepare(start, selected.contains(u'\n') ? QString() : selected);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_results->show();
    m_results->start(dialog.request());
}

} // namespace vellumo
