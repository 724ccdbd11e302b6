#pragma once

#include "platform/platform.h"

#include <QPointer>

#include <optional>

class QTextBrowser;

namespace vellumo {

// Font families as a user and a browser know them. Qt tells apart a family that
// several foundries make by the foundry's name in brackets ("C059 [UKWN]"); that
// name means nothing in a page, so each family is offered once by its plain name,
// in the given order.
QStringList plainFontFamilies(const QStringList &families);

// The real services: QSettings("Vellumo", "Vellumo") in the native format,
// QMessageBox, QFileDialog, QDesktopServices, QProcess, QClipboard, QFontDatabase.
class QtPlatform final : public Platform {
public:
    // `helpFolder` holds the help pages (index.html and topic-N.html).
    explicit QtPlatform(QString helpFolder = {});
    ~QtPlatform() override;

    QVariant readSetting(const QString &name) override;
    QString settingsFolder() override;
    void writeSetting(const QString &name, const QVariant &value) override;
    QMessageBox::StandardButton ask(QWidget *parent, const QString &caption, const QString &text,
                                    QMessageBox::StandardButtons buttons) override;
    void showError(QWidget *parent, const QString &caption, const QString &text) override;
    void showInformation(QWidget *parent, const QString &caption, const QString &text) override;
    QString chooseOpenFile(QWidget *parent, const FileChooserRequest &request) override;
    QString chooseSaveFile(QWidget *parent, const FileChooserRequest &request) override;
    void showHelp(int topic) override;
    void closeHelp() override;
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &path) override;
    bool startCopyOfThisProgram(const QStringList &arguments) override;
    bool clipboardHasText() override;
    QStringList fontFamilies() override;

    void setHelpFolder(const QString &folder) { m_helpFolder = folder; }
    // With nobody at the screen (drawing a picture of the window), messages go to
    // the standard error stream and questions are answered with no choice.
    void setUnattended(bool unattended) { m_unattended = unattended; }

private:
    QString m_helpFolder;
    bool m_unattended = false;
    QPointer<QTextBrowser> m_helpViewer;
    // Whether the clipboard holds text, kept until the clipboard says it changed:
    // asking the display is a round trip, and the editor asks at every caret move.
    std::optional<bool> m_clipboardHasText;
    QMetaObject::Connection m_clipboardWatch;
};

} // namespace vellumo
