#include "app/recovery_offer.h"

#include "app/main_window.h"
#include "document/orphaned_journals.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/journal_replay.h"
#include "editor/recovery_journal.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QTimer>

namespace vellumo {

namespace {

const QString ProgramCaption = QStringLiteral("Vellumo");

QString pageName(const QString &fileName) {
    return fileName == UntitledFileName ? fileName : QDir::toNativeSeparators(fileName);
}

QString characters(qint64 n) {
    return n == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(n);
}

QString when(const QDateTime &time) {
    return QLocale().toString(time, QLocale::ShortFormat);
}

// A journal that cannot be applied is the user's work all the same: it is kept
// beside the others under a name no later start picks up, never deleted.
QString keepAside(const QString &path) {
    QString aside = path + QStringLiteral(".rejected");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".rejected-%1").arg(n);
    return QFile::rename(path, aside) ? aside : path;
}

} // namespace

bool offerRecovery(DocumentController &document, Platform &platform, QWidget *window,
                   const RecoveryJournal &journal) {
    std::vector<OrphanedJournal> orphans = claimOrphanedJournals(journal.folder(), journal.path());
    for (OrphanedJournal &orphan : orphans) {
        RecoveredPage page = document.recoverJournal(orphan.path);
        switch (page.outcome) {
        case RecoveredPage::Outcome::NothingToRecover:
            QFile::remove(orphan.path);
            continue;
        case RecoveredPage::Outcome::FileChanged:
        case RecoveredPage::Outcome::Unreadable: {
            const QString kept = keepAside(orphan.path);
            platform.showInformation(
                window, ProgramCaption,
                QStringLiteral("Vellumo did not close properly last time, and the page %1 had "
                               "unsaved changes (last changed %2).\nThey cannot be restored: "
                               "%3\nThe changes are kept in %4.")
                    .arg(pageName(page.fileName), when(page.lastChange), page.problem,
                         QDir::toNativeSeparators(kept)));
            continue;
        }
        case RecoveredPage::Outcome::Recovered:
            break;
        }
        const QString excerpt =
            page.excerpt.isEmpty()
                ? QString()
                : QStringLiteral("Near the last change: \"%1\"\n").arg(page.excerpt);
        const QMessageBox::StandardButton answer = platform.ask(
            window, QStringLiteral("Confirm"),
            QStringLiteral("Vellumo did not close properly last time, and the page %1 had unsaved "
                           "changes.\nLast changed: %2\n%3 added, %4 removed.\n%5\nDo you want to "
                           "recover them?\nYes: the page opens with the changes, not yet saved.\n"
                           "No: the changes are discarded for good.")
                .arg(pageName(page.fileName), when(page.lastChange),
                     characters(page.charactersAdded), characters(page.charactersRemoved), excerpt),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            QFile::remove(orphan.path);
            continue;
        }
        // The page is journalled by this run from here on, so the old journal can go.
        document.showRecoveredPage(std::move(page));
        QFile::remove(orphan.path);
        return true;
    }
    return false;
}

namespace {

void offerThenOpen(TForm1 &main, const RecoveryJournal &journal, const QString &file) {
    DocumentController &document = main.document();
    const bool recovered = offerRecovery(document, main.platform(), &main, journal);
    if (file.isEmpty())
        return;
    if (!recovered) {
        document.openOrName(file);
        return;
    }
    const QString wanted = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    if (document.CurrentFileName != wanted)
        main.platform().showInformation(
            &main, ProgramCaption,
            QStringLiteral("The recovered page is in the editor, so %1 was not opened.\nSave "
                           "the recovered page first, then open the file.")
                .arg(QDir::toNativeSeparators(file)));
}

} // namespace

void startRecoveryThenOpen(TForm1 &main, RecoveryJournal &journal, const QString &file) {
    if (journal.claim())
        main.document().setRecoveryJournal(&journal);
    else
        qWarning("vellumo: no recovery journal in %s; unsaved changes will not survive a crash",
                 qPrintable(QDir::toNativeSeparators(journal.folder())));
    // The Tip of the Day would open over the question; it waits for the answer.
    main.holdTipOfTheDay(true);
    // Once the window is up, so that the question has a window to sit on.
    QTimer::singleShot(0, &main, [&main, &journal, file] {
        offerThenOpen(main, journal, file);
        main.holdTipOfTheDay(false);
    });
}

} // namespace vellumo
