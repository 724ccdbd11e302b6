#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QFileSystemWatcher;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace vellumo {

class Platform;

// The descriptions and patterns the filter box offers, in order.
struct FileFilter {
    QString description;
    QString patterns; // as stored: "*.htm; *.html"
};
const QList<FileFilter> &fileFilters();
// The name filters that `patterns` stands for: split at ";", blanks dropped, and
// "*.*" meaning every file, dotted or not.
QStringList nameFiltersFor(const QString &patterns);

// The small file browser of the "Link to File" tab: folder list, drive box, file
// list with bare names, filter box and the Link To File button. It fills the page
// it is given; a button named "Button2" already on that page is taken over,
// otherwise one is made.
class FileBrowser final : public QObject {
    Q_OBJECT
public:
    FileBrowser(QWidget *page, Platform &platform, const QString &startFolder);

    // The controls, by role, with their object names.
    QTreeWidget *folderList = nullptr; // "DirectoryListBox1"
    QComboBox *driveBox = nullptr;     // "DriveComboBox1"
    QListWidget *fileList = nullptr;   // "FileListBox1"
    QComboBox *filterBox = nullptr;    // "FilterComboBox1"
    QPushButton *linkButton = nullptr; // "Button2", Link To File

    // The folder whose files are listed, with '/' separators.
    QString folder() const { return m_folder; }
    // Lists `path`; a folder that cannot be listed is reported and nothing changes.
    bool setFolder(const QString &path);
    // The selected file's bare name and full path; empty when nothing is selected.
    QString selectedFileName() const;
    QString selectedFilePath() const;
    // Lists the folder afresh, keeping the selected file when it is still there.
    void refresh();

Q_SIGNALS:
    // The user pressed a file or moved the selection onto one.
    void filePicked();
    // A double click, or Enter, on a file.
    void fileActivated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillFolderList();
    void fillFileList(const QString &keep);
    void showDriveOf(const QString &path);
    void driveChosen(int index);

    Platform &m_platform;
    QWidget *m_page;
    QString m_folder;
    QFileSystemWatcher *m_watcher;
    bool m_filling = false;
};

} // namespace vellumo
