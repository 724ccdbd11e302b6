#pragma once

#include "platform/qt_platform.h"

#include <QList>
#include <QQueue>
#include <QUrl>

namespace vellumo {

// The platform for tests: settings are the real QSettings store (in the test's
// temporary config folder), while every question, error box and file chooser is
// answered from a queue and recorded, and browser, program and help requests are
// only recorded.
class ScriptedPlatform final : public Platform {
public:
    struct Shown {
        QString kind; // "ask", "error", "information", "open", "save"
        QString caption;
        QString text;
        FileChooserRequest request;
        // The modal window already open when this one came (its object name), so a
        // test can tell boxes that would have been stacked on each other.
        QString over;
    };

    // Queued answers, used in order.
    void queueAnswer(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    void queueFile(const QString &path) { m_files.enqueue(path); }

    QList<Shown> shown;     // every box and chooser, in order
    QList<QUrl> openedUrls; // openUrl requests
    QStringList startedPrograms;
    QList<QStringList> startedCopies; // the arguments of each copy of the program started
    QList<int> helpTopics;
    int helpClosed = 0;
    bool clipboardText = false;
    // Whether the browser and programs start; false plays a desktop without them.
    bool browserStarts = true;
    bool programsStart = true;
    QStringList fonts{QStringLiteral("Arial"), QStringLiteral("Courier New")};
    // Calls that found no queued answer; a test checks this stays empty.
    QStringList unexpected;

    // Whether every queued answer was used.
    bool answersUsed() const { return m_answers.isEmpty() && m_files.isEmpty(); }
    QStringList texts(const QString &kind) const;

    QVariant readSetting(const QString &name) override { return m_real.readSetting(name); }
    QString settingsFolder() override { return m_real.settingsFolder(); }
    void writeSetting(const QString &name, const QVariant &value) override {
        m_real.writeSetting(name, value);
    }
    QMessageBox::StandardButton ask(QWidget *parent, const QString &caption, const QString &text,
                                    QMessageBox::StandardButtons buttons) override;
    void showError(QWidget *parent, const QString &caption, const QString &text) override;
    void showInformation(QWidget *parent, const QString &caption, const QString &text) override;
    QString chooseOpenFile(QWidget *parent, const FileChooserRequest &request) override;
    QString chooseSaveFile(QWidget *parent, const FileChooserRequest &request) override;
    void showHelp(int topic) override { helpTopics.append(topic); }
    void closeHelp() override { ++helpClosed; }
    bool openUrl(const QUrl &url) override {
        openedUrls.append(url);
        return browserStarts;
    }
    bool startProgram(const QString &path) override {
        startedPrograms.append(path);
        return programsStart;
    }
    bool startCopyOfThisProgram(const QStringList &arguments) override {
        startedCopies.append(arguments);
        return true;
    }
    bool clipboardHasText() override { return clipboardText; }
    QStringList fontFamilies() override { return fonts; }

    // Removes every stored setting, for a fresh first run.
    static void clearSettings();

private:
    void record(Shown box);

    QtPlatform m_real;
    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<QString> m_files;
};

} // namespace vellumo
