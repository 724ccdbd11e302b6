#include "app/command_palette.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumo {

CommandPalette::CommandPalette(QWidget *parent)
    : QDialog(parent)
    , m_filter(new QLineEdit(this))
    , m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("CommandPalette"));
    setWindowTitle(QStringLiteral("Commands"));
    m_filter->setObjectName(QStringLiteral("CommandPaletteFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Type to find a command"));
    m_filter->setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("CommandPaletteList"));
    m_list->setHeaderLabels(
        {QStringLiteral("Command"), QStringLiteral("Where"), QStringLiteral("Shortcut")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    // Every column in view: the names and keys as wide as they need, the places in what is
    // left (a long one cut short, whole in its tooltip).
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFocusProxy(m_filter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    resize(620, 420);

    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &CommandPalette::applyFilter);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { accept(); });
}

void CommandPalette::setEntries(std::vector<PaletteEntry> entries) {
    m_entries = std::move(entries);
    m_list->clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const PaletteEntry &entry = m_entries[i];
        auto *item = new QTreeWidgetItem(
            m_list, {entry.title, entry.place, entry.keys.toString(QKeySequence::NativeText)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        item->setToolTip(1, entry.place);
    }
    applyFilter(m_filter->text());
}

void CommandPalette::choose() {
    m_filter->clear();
    applyFilter({});
    m_filter->setFocus();
    if (exec() != QDialog::Accepted || m_list->currentItem() == nullptr)
        return;
    const auto index = m_list->currentItem()->data(0, Qt::UserRole).toULongLong();
    // A copy: what the entry runs may change the palette's entries.
    const std::function<void()> run = m_entries.at(index).run;
    run();
}

void CommandPalette::applyFilter(const QString &text) {
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    QTreeWidgetItem *first = nullptr;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = m_list->topLevelItem(row);
        const QString haystack = item->text(0) + u' ' + item->text(1);
        const bool shown = std::all_of(words.cbegin(), words.cend(), [&haystack](const QString &w) {
            return haystack.contains(w, Qt::CaseInsensitive);
        });
        item->setHidden(!shown);
        if (shown && first == nullptr)
            first = item;
    }
    m_list->setCurrentItem(first);
}

bool CommandPalette::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            // The list moves while the typing stays in the filter field.
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_list->currentItem() != nullptr)
                accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vellumo
