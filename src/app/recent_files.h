#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QWidget;

namespace vellumo {

class Platform;

// "Recent Files": the last pages opened or saved, newest first, without duplicates,
// kept in the settings store under "RecentFiles" and read afresh whenever the menu
// opens, so every window and run sees the same list. Choosing an entry hands its
// path to `open`; a page that no longer exists is reported by name and dropped.
class RecentFiles final : public QObject {
    Q_OBJECT
public:
    static constexpr int Length = 10;

    RecentFiles(Platform &platform, QWidget *window, std::function<bool(const QString &)> open);

    // The submenu, named RecentFiles1; its entries are made as it opens.
    QMenu *menu() const { return m_menu; }

    QStringList paths() const;
    // Puts `path` at the top of the list.
    void add(const QString &path);
    void clear();
    // Opens an entry of the list as if chosen from the menu.
    void choose(const QString &path);

private:
    void store(const QStringList &paths);
    void fillMenu();

    Platform &m_platform;
    QWidget *m_window;
    std::function<bool(const QString &)> m_open;
    QMenu *m_menu;
};

} // namespace vellumo
