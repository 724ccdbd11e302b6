#include "platform/qt_platform.h"

#include "platform/folder_sync.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMimeData>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QTextBrowser>
#include <QUrl>

#include <cstdio>

namespace vellumo {

namespace {

QString joinedFilters(const QStringList &filters) {
    return filters.join(QStringLiteral(";;"));
}

QString runFileDialog(QWidget *parent, const FileChooserRequest &request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.startFolder, joinedFilters(request.filters));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtPlatform::QtPlatform(QString helpFolder)
    : m_helpFolder(std::move(helpFolder)) {
}

QtPlatform::~QtPlatform() {
    QObject::disconnect(m_clipboardWatch);
    closeHelp();
}

QVariant QtPlatform::readSetting(const QString &name) {
    // Opened per access and dropped again, so another instance's writes are seen at once.
    const QSettings settings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo"));
    return settings.value(name);
}

QString QtPlatform::settingsFolder() {
    const QSettings settings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo"));
    return QFileInfo(settings.fileName()).absolutePath();
}

void QtPlatform::writeSetting(const QString &name, const QVariant &value) {
    QSettings settings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo"));
    settings.setValue(name, value);
    // QSettings writes a temporary file, flushes it and renames it into place; the
    // folder is flushed after it so that the rename itself survives a crash.
    settings.sync();
    if (settings.status() == QSettings::NoError)
        syncFolder(QFile::encodeName(QFileInfo(settings.fileName()).absolutePath()));
}

QMessageBox::StandardButton QtPlatform::ask(QWidget *parent, const QString &caption,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons) {
    if (m_unattended) {
        std::fprintf(stderr, "vellumo: %s (not asked: nobody is there to answer)\n",
                     qPrintable(text));
        return QMessageBox::NoButton;
    }
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    const int result = box.exec();
    // A box closed from its title bar without an Escape button reports no choice.
    if (box.clickedButton() == nullptr)
        return QMessageBox::NoButton;
    return static_cast<QMessageBox::StandardButton>(result);
}

void QtPlatform::showError(QWidget *parent, const QString &caption, const QString &text) {
    if (m_unattended)
        std::fprintf(stderr, "vellumo: %s\n", qPrintable(text));
    else
        QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
}

void QtPlatform::showInformation(QWidget *parent, const QString &caption, const QString &text) {
    if (m_unattended)
        std::fprintf(stderr, "vellumo: %s\n", qPrintable(text));
    else
        QMessageBox::information(parent, caption, text, QMessageBox::Ok);
}

QString QtPlatform::chooseOpenFile(QWidget *parent, const FileChooserRequest &request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtPlatform::chooseSaveFile(QWidget *parent, const FileChooserRequest &request) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

void QtPlatform::showHelp(int topic) {
    const QString page =
        topic > 0 ? QStringLiteral("topic-%1.html").arg(topic) : QStringLiteral("index.html");
    const QString path = QDir(m_helpFolder).filePath(page);
    if (m_helpViewer.isNull()) {
        m_helpViewer = new QTextBrowser;
        m_helpViewer->setAttribute(Qt::WA_DeleteOnClose);
        m_helpViewer->setOpenExternalLinks(true);
        m_helpViewer->setWindowTitle(QStringLiteral("Vellumo Help"));
        m_helpViewer->resize(640, 520);
    }
    if (QFileInfo::exists(path))
        m_helpViewer->setSource(QUrl::fromLocalFile(path));
    else
        m_helpViewer->setPlainText(
            QStringLiteral("The help page %1 is missing.").arg(QDir::toNativeSeparators(path)));
    m_helpViewer->show();
    m_helpViewer->raise();
}

void QtPlatform::closeHelp() {
    if (!m_helpViewer.isNull())
        m_helpViewer->close();
}

bool QtPlatform::openUrl(const QUrl &url) {
    return QDesktopServices::openUrl(url);
}

bool QtPlatform::startProgram(const QString &path) {
    // No arguments, and the program works in the folder this one works in.
    return QProcess::startDetached(path, {});
}

bool QtPlatform::startCopyOfThisProgram(const QStringList &arguments) {
    // The same executable, so a build tree starts its own build, not an installed copy.
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
}

bool QtPlatform::clipboardHasText() {
    QClipboard *clipboard = QApplication::clipboard();
    if (!m_clipboardWatch)
        m_clipboardWatch = QObject::connect(clipboard, &QClipboard::dataChanged, clipboard,
                                            [this] { m_clipboardHasText.reset(); });
    if (!m_clipboardHasText) {
        const QMimeData *data = clipboard->mimeData();
        m_clipboardHasText = data != nullptr && data->hasText();
    }
    return *m_clipboardHasText;
}

QStringList QtPlatform::fontFamilies() {
    return plainFontFamilies(QFontDatabase::families());
}

QStringList plainFontFamilies(const QStringList &families) {
    QStringList plain;
    plain.reserve(families.size());
    QSet<QString> seen;
    for (const QString &family : families) {
        QString name = family;
        // "Family [Foundry]": the foundry is the bracketed tail after a space.
        if (name.endsWith(u']')) {
            const qsizetype open = name.lastIndexOf(QStringLiteral(" ["));
            if (open > 0)
                name.truncate(open);
        }
        if (!seen.contains(name)) {
            seen.insert(name);
            plain.append(name);
        }
    }
    return plain;
}

} // namespace vellumo
