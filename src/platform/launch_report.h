#pragma once

#include <QString>

class QUrl;
class QWidget;

namespace vellumo {

class Platform;

// The messages shown when the web browser or a program cannot be started. The
// address stands alone on its line, with no full stop to be taken for part of it.
QString browserFailureMessage(const QUrl &url);
QString programFailureMessage(const QString &program);

// Opens `url` in the web browser. When no browser could be started the user is
// told in the program's error box, which names the address (a local page by its
// path), instead of the reason going to the terminal only. `parent` may be null:
// the box then sits on the active window.
bool openInBrowser(Platform &platform, QWidget *parent, const QUrl &url);
// Starts `program` the same way, naming it when it could not be started.
bool startProgramOrSay(Platform &platform, QWidget *parent, const QString &program);

} // namespace vellumo
