#include "app/recent_files.h"

#include "platform/platform.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace vellumo {

namespace {

const QString SettingName = QStringLiteral("RecentFiles");

} // namespace

RecentFiles::RecentFiles(Platform &platform, QWidget *window,
                         std::function<bool(const QString &)> open)
    : QObject(window)
    , m_platform(platform)
    , m_window(window)
    , m_open(std::move(open))
    , m_menu(new QMenu(QStringLiteral("Recent &Files"), window)) {
    m_menu->setObjectName(QStringLiteral("RecentFiles1"));
    m_menu->menuAction()->setObjectName(QStringLiteral("RecentFiles1"));
    connect(m_menu, &QMenu::aboutToShow, this, &RecentFiles::fillMenu);
    fillMenu();
}

QStringList RecentFiles::paths() const {
    QStringList paths = m_platform.readSetting(SettingName).toStringList();
    paths.removeAll(QString());
    paths.removeDuplicates();
    return paths.mid(0, Length);
}

void RecentFiles::store(const QStringList &paths) {
    m_platform.writeSetting(SettingName, paths);
}

void RecentFiles::add(const QString &path) {
    const QString full = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QStringList list = paths();
    list.removeAll(full);
    list.prepend(full);
    store(list.mid(0, Length));
}

void RecentFiles::clear() {
    store({});
}

void RecentFiles::choose(const QString &path) {
    if (!QFileInfo(QDir::fromNativeSeparators(path)).isFile()) {
        QStringList list = paths();
        list.removeAll(path);
        store(list);
        m_platform.showError(m_window, QStringLiteral("Vellumo"),
                             QStringLiteral("The page %1 no longer exists.\nIt was removed from "
                                            "the list of recent files.")
                                 .arg(path));
        return;
    }
    m_open(QDir::fromNativeSeparators(path));
}

void RecentFiles::fillMenu() {
    m_menu->clear();
    const QStringList list = paths();
    for (int i = 0; i < list.size(); ++i) {
        const QString &path = list.at(i);
        // The first nine are reached by their number; "&" in a name is shown as it is.
        QString text = QString(path).replace(u'&', QStringLiteral("&&"));
        if (i < 9)
            text = QStringLiteral("&%1 %2").arg(i + 1).arg(text);
        QAction *entry = m_menu->addAction(text);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { choose(path); });
    }
    if (!list.isEmpty())
        m_menu->addSeparator();
    QAction *clearEntry = m_menu->addAction(QStringLiteral("Clear List"));
    clearEntry->setObjectName(QStringLiteral("ClearRecentFiles1"));
    clearEntry->setEnabled(!list.isEmpty());
    connect(clearEntry, &QAction::triggered, this, &RecentFiles::clear);
}

} // namespace vellumo
