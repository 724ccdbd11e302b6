#pragma once

#include <QString>

class QWidget;

namespace vellumo {

class DocumentController;
class Platform;
class RecoveryJournal;
class TForm1;

// At start-up, offers the unsaved changes that an earlier run left in its
// recovery journal when it crashed or was killed. Each journal is shown for what
// it would restore; Yes puts the page into the editor (and stops there: any
// further journal waits for the next start), No discards it. A journal that no
// longer fits its file is kept aside, never applied. Returns whether a page was
// recovered.
bool offerRecovery(DocumentController &document, Platform &platform, QWidget *window,
                   const RecoveryJournal &journal);

// The start of a run: the main window's page is journalled from now on, earlier
// unsaved work is offered, and then `file` (when given) is opened - unless a
// recovered page took its place, which is never replaced without the user.
void startRecoveryThenOpen(TForm1 &main, RecoveryJournal &journal, const QString &file);

} // namespace vellumo
