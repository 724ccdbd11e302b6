#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QVariant>

class QUrl;
class QWidget;

namespace vellumo {

// What a file chooser is asked to show. `filters` are Qt filter strings
// ("HTML Files (*.htm *.html)"); `defaultSuffix` is appended by the chooser to a
// name typed without one; `mustExist` refuses names of missing files.
struct FileChooserRequest {
    QString title;
    QStringList filters;
    QString defaultSuffix;
    QString startFolder;
    bool mustExist = true;
    bool confirmOverwrite = false;
};

// The operating-system services the program uses, behind one interface so that
// tests can script the user's answers and observe what was started or opened.
class Platform {
public:
    virtual ~Platform() = default;

    // Settings store: one value under the program's key. A missing value reads as
    // an invalid QVariant. Every call opens the store afresh and writes through at once.
    virtual QVariant readSetting(const QString &name) = 0;
    virtual void writeSetting(const QString &name, const QVariant &value) = 0;
    // The folder the settings are kept in, where the program keeps the user's other
    // files of its own (the snippets).
    virtual QString settingsFolder() = 0;

    // A modal question; returns the button the user chose (NoButton if the box was
    // closed otherwise).
    virtual QMessageBox::StandardButton ask(QWidget *parent, const QString &caption,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons) = 0;
    // A modal error box with one OK button.
    virtual void showError(QWidget *parent, const QString &caption, const QString &text) = 0;
    // A modal information box with one OK button.
    virtual void showInformation(QWidget *parent, const QString &caption, const QString &text) = 0;

    // File choosers: the chosen path, or an empty string when cancelled.
    virtual QString chooseOpenFile(QWidget *parent, const FileChooserRequest &request) = 0;
    virtual QString chooseSaveFile(QWidget *parent, const FileChooserRequest &request) = 0;

    // Help viewer: the contents (topic 0) or one topic; closeHelp() at exit.
    virtual void showHelp(int topic) = 0;
    virtual void closeHelp() = 0;

    // The default web browser on an address; false when nothing could be opened.
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts a program detached, without arguments; false when it could not start.
    virtual bool startProgram(const QString &path) = 0;
    // Starts another copy of this program, detached, in the folder this one works
    // in, with `arguments`; false when it could not start.
    virtual bool startCopyOfThisProgram(const QStringList &arguments) = 0;

    // Whether the clipboard offers plain text.
    virtual bool clipboardHasText() = 0;
    // The families of the installed screen fonts.
    virtual QStringList fontFamilies() = 0;
};

} // namespace vellumo
