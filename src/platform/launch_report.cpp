#include "platform/launch_report.h"

#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QUrl>

namespace vellumo {

namespace {

const QString ErrorCaption = QStringLiteral("Vellumo");

QWidget *boxParent(QWidget *parent) {
    return parent != nullptr ? parent : QApplication::activeWindow();
}

} // namespace

QString browserFailureMessage(const QUrl &url) {
    const QString address =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
    return QStringLiteral("Cannot open %1\nNo web browser could be started.").arg(address);
}

QString programFailureMessage(const QString &program) {
    return QStringLiteral("Cannot start %1\nThe program could not be started.")
        .arg(QDir::toNativeSeparators(program));
}

bool openInBrowser(Platform &platform, QWidget *parent, const QUrl &url) {
    if (platform.openUrl(url))
        return true;
    platform.showError(boxParent(parent), ErrorCaption, browserFailureMessage(url));
    return false;
}

bool startProgramOrSay(Platform &platform, QWidget *parent, const QString &program) {
    if (platform.startProgram(program))
        return true;
    platform.showError(boxParent(parent), ErrorCaption, programFailureMessage(program));
    return false;
}

} // namespace vellumo
