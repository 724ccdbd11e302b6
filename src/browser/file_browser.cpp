#include "browser/file_browser.h"

#include "platform/platform.h"
#include "widgets/glyph_icon.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vellumo {

namespace {

constexpr int PathRole = Qt::UserRole;

QString displayedDrive(const QString &root) {
    QString shown = QDir::toNativeSeparators(root);
    // Drive letters are shown in upper case, without the trailing separator.
    if (shown.size() == 3 && shown.at(1) == QLatin1Char(':'))
        shown = shown.left(2).toUpper();
    return shown;
}

// The drives offered: the file system roots, and where there are no drive letters
// the home folder too, since that is where a user's pages live.
QStringList driveRoots() {
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives())
        roots << QDir::fromNativeSeparators(drive.absoluteFilePath());
#ifndef Q_OS_WIN
    roots << QDir::homePath();
#endif
    return roots;
}

bool isInside(const QString &path, const QString &root) {
    if (path == root)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
#ifdef Q_OS_WIN
    return path.startsWith(prefix, Qt::CaseInsensitive);
#else
    return path.startsWith(prefix);
#endif
}

} // namespace

const QList<FileFilter> &fileFilters() {
    static const QList<FileFilter> filters{
        {QStringLiteral("All files (*.*)"), QStringLiteral("*.*")},
        {QStringLiteral("All Web Files"), QStringLiteral("*.htm; *.html; *.gif; *.jpg")},
        {QStringLiteral("All Web Documents"), QStringLiteral("*.htm; *.html")},
        {QStringLiteral("All Web Images"), QStringLiteral("*.gif; *.jpg")}};
    return filters;
}

QStringList nameFiltersFor(const QString &patterns) {
    QStringList filters;
    for (const QString &piece : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = piece.trimmed();
        if (pattern.isEmpty())
            continue;
        filters << (pattern == u"*.*" ? QStringLiteral("*") : pattern);
    }
    return filters;
}

FileBrowser::FileBrowser(QWidget *page, Platform &platform, const QString &startFolder)
    : QObject(page)
    , m_platform(platform)
    , m_page(page)
    , m_watcher(new QFileSystemWatcher(this)) {
    folderList = new QTreeWidget(page);
    folderList->setObjectName(QStringLiteral("DirectoryListBox1"));
    folderList->header()->hide();
    folderList->setRootIsDecorated(false);
    folderList->setItemsExpandable(false);
    folderList->setExpandsOnDoubleClick(false);
    folderList->setIndentation(10);
    folderList->setMinimumHeight(89);

    driveBox = new QComboBox(page);
    driveBox->setObjectName(QStringLiteral("DriveComboBox1"));
    for (const QString &root : driveRoots())
        driveBox->addItem(styleIcon(page, QStyle::SP_DriveHDIcon), displayedDrive(root), root);

    fileList = new QListWidget(page);
    fileList->setObjectName(QStringLiteral("FileListBox1"));
    fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    fileList->setMinimumHeight(113);
    // Dragging a name onto the editor starts by itself; the copy action keeps the
    // list from ever removing what was dragged.
    fileList->setDragEnabled(true);
    fileList->setDragDropMode(QAbstractItemView::DragOnly);
    fileList->setDefaultDropAction(Qt::CopyAction);
    fileList->installEventFilter(this);

    filterBox = new QComboBox(page);
    filterBox->setObjectName(QStringLiteral("FilterComboBox1"));
    for (const FileFilter &filter : fileFilters())
        filterBox->addItem(filter.description, filter.patterns);

    linkButton =
        page->findChild<QPushButton *>(QStringLiteral("Button2"), Qt::FindDirectChildrenOnly);
    if (linkButton == nullptr) {
        linkButton = new QPushButton(QStringLiteral("&Link To File"), page);
        linkButton->setObjectName(QStringLiteral("Button2"));
    }
    linkButton->setFixedSize(120, 33);

    // The page's earlier arrangement, if any, makes way for the browser's own.
    delete page->layout();
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(folderList, 2);
    layout->addWidget(driveBox);
    layout->addWidget(fileList, 3);
    layout->addWidget(filterBox);
    layout->addWidget(linkButton, 0, Qt::AlignHCenter);

    connect(folderList, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { setFolder(item->data(0, PathRole).toString()); });
    connect(driveBox, &QComboBox::activated, this, &FileBrowser::driveChosen);
    connect(filterBox, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(fileList, &QListWidget::itemPressed, this, [this] { Q_EMIT filePicked(); });
    connect(fileList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling && !fileList->selectedItems().isEmpty())
            Q_EMIT filePicked();
    });
    connect(fileList, &QListWidget::itemDoubleClicked, this, [this] { Q_EMIT fileActivated(); });
    // Files saved into the folder while the program runs show up without a refresh.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });

    if (!setFolder(startFolder))
        setFolder(QDir::homePath());
}

bool FileBrowser::setFolder(const QString &path) {
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable() || !QDir(path).isReadable()) {
        m_platform.showError(
            m_page->window(), QStringLiteral("Vellumo"),
            QStringLiteral("Cannot open the folder %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!m_folder.isEmpty())
        m_watcher->removePath(m_folder);
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    m_watcher->addPath(m_folder);
    fillFolderList();
    showDriveOf(m_folder);
    fillFileList(QString());
    return true;
}

void FileBrowser::refresh() {
    fillFileList(selectedFileName());
}

QString FileBrowser::selectedFileName() const {
    const QList<QListWidgetItem *> selected = fileList->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

QString FileBrowser::selectedFilePath() const {
    const QString name = selectedFileName();
    return name.isEmpty() ? QString() : QDir(m_folder).filePath(name);
}

void FileBrowser::fillFolderList() {
    folderList->clear();
    // The chain of open folders from the root down to this one, then its subfolders.
    QStringList chain;
    QDir walk(m_folder);
    do {
        chain.prepend(walk.absolutePath());
    } while (walk.cdUp());
    const QIcon open = styleIcon(m_page, QStyle::SP_DirOpenIcon);
    const QIcon closed = styleIcon(m_page, QStyle::SP_DirClosedIcon);
    QTreeWidgetItem *parent = nullptr;
    for (const QString &path : chain) {
        QString name = QDir(path).dirName();
        if (name.isEmpty() || QDir(path).isRoot())
            name = QDir::toNativeSeparators(path);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(folderList);
        item->setText(0, name);
        item->setIcon(0, open);
        item->setData(0, PathRole, path);
        parent = item;
    }
    const QStringList children =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children) {
        auto *item = new QTreeWidgetItem(parent);
        item->setText(0, child);
        item->setIcon(0, closed);
        item->setData(0, PathRole, QDir(m_folder).filePath(child));
    }
    folderList->expandAll();
    folderList->setCurrentItem(parent);
    folderList->scrollToItem(parent);
}

void FileBrowser::fillFileList(const QString &keep) {
    m_filling = true;
    fileList->clear();
    const QStringList filters = nameFiltersFor(filterBox->currentData().toString());
    const QStringList names =
        QDir(m_folder).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    fileList->addItems(names);
    if (!keep.isEmpty()) {
        const QList<QListWidgetItem *> same = fileList->findItems(keep, Qt::MatchExactly);
        if (!same.isEmpty())
            fileList->setCurrentItem(same.constFirst());
    }
    m_filling = false;
}

void FileBrowser::showDriveOf(const QString &path) {
    // The most specific drive holding the folder: the home folder before "/".
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < driveBox->count(); ++i) {
        const QString root = driveBox->itemData(i).toString();
        if (isInside(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    driveBox->setCurrentIndex(best);
}

void FileBrowser::driveChosen(int index) {
    if (!setFolder(driveBox->itemData(index).toString()))
        showDriveOf(m_folder);
}

bool FileBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (watched == fileList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !fileList->selectedItems().isEmpty()) {
            Q_EMIT fileActivated();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vellumo
