#include "editor/journal_replay.h"

#include "document/journal_format.h"
#include "document/page_fingerprint.h"
#include "editor/page_breaks.h"
#include "editor/page_loader.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vellumo {

RecoveredPage::RecoveredPage() = default;
RecoveredPage::RecoveredPage(RecoveredPage &&) noexcept = default;
RecoveredPage &RecoveredPage::operator=(RecoveredPage &&) noexcept = default;
RecoveredPage::~RecoveredPage() = default;

namespace {

QString excerptAround(QTextDocument &document, qint64 position) {
    constexpr int Reach = 30;
    const int end = document.characterCount() - 1;
    const int at = static_cast<int>(std::clamp<qint64>(position, 0, end));
    QTextCursor cursor(&document);
    cursor.setPosition(std::max(0, at - Reach));
    cursor.setPosition(std::min(end, at + Reach), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    for (QChar &c : text)
        if (c == QChar::ParagraphSeparator || c == u'\t' || c.category() == QChar::Other_Control)
            c = u' ';
    return text.simplified();
}

} // namespace

RecoveredPage recoverJournal(const QString &path, const QTextDocument &like) {
    RecoveredPage page;
    QByteArray bytes;
    QString reason = readWholeFile(path, &bytes);
    JournalBaseRecord base;
    QList<JournalEdit> edits;
    qint64 cleanAfter = -1; // how many edits there were at the last return to the saved page
    if (reason.isEmpty() && !readRecords(bytes, base, edits, cleanAfter))
        reason = QStringLiteral("The recovery file is damaged.");
    bytes = QByteArray();
    if (!reason.isEmpty()) {
        page.problem = reason;
        return page;
    }
    page.fileName = base.fileName;
    page.format = base.format;
    page.lastChange =
        QDateTime::fromMSecsSinceEpoch(edits.isEmpty() ? base.time : edits.last().time);
    if (edits.size() == cleanAfter || (base.fromFile && edits.isEmpty())) {
        page.outcome = RecoveredPage::Outcome::NothingToRecover;
        return page;
    }

    QString text = std::move(base.snapshot);
    QByteArray kinds = std::move(base.lineBreakKinds);
    QByteArray fileBytes;
    if (!base.fileHash.isEmpty()) {
        const QString fileReason = readWholeFile(journalDiskPath(base.fileName), &fileBytes);
        if (!fileReason.isEmpty() || hashOf(fileBytes) != base.fileHash) {
            page.outcome = RecoveredPage::Outcome::FileChanged;
            page.problem = fileReason.isEmpty()
                               ? QStringLiteral("The file was changed after the changes were made.")
                               : fileReason;
            return page;
        }
    }
    if (!base.fileHash.isEmpty()) {
        // In the encoding the page was shown in, which the user may have chosen. The
        // lines the changes left alone keep their bytes in the next save, as they
        // would have without the crash.
        DecodedPage decoded = decodePageAs(fileBytes, base.format.encoding);
        if (base.fromFile && textHash(decoded.text) != base.textHash) {
            page.outcome = RecoveredPage::Outcome::FileChanged;
            page.problem = QStringLiteral("The file no longer reads back as the page it was.");
            return page;
        }
        page.originalLines = std::move(decoded.originalLines);
        if (base.fromFile) {
            text = std::move(decoded.text);
            kinds = std::move(decoded.lineBreakKinds);
        }
    }

    std::unique_ptr<QTextDocument> document = buildPageDocument(std::move(text), like);
    applyLineBreakKinds(document.get(), kinds);
    QTextCursor cursor(document.get());
    page.charactersAdded = base.changeAdded;
    page.charactersRemoved = base.changeRemoved;
    for (const JournalEdit &edit : std::as_const(edits)) {
        if (edit.removed == 0 && edit.added.isEmpty())
            continue;
        const qint64 end = document->characterCount() - 1;
        if (edit.from < 0 || edit.removed < 0 || edit.from + edit.removed > end) {
            page.problem = QStringLiteral("The recovery file is damaged.");
            return page;
        }
        cursor.setPosition(static_cast<int>(edit.from));
        cursor.setPosition(static_cast<int>(edit.from + edit.removed), QTextCursor::KeepAnchor);
        cursor.insertText(edit.added);
        page.charactersAdded += edit.added.size();
        page.charactersRemoved += edit.removed;
    }
    if (!edits.isEmpty())
        page.excerpt = excerptAround(*document, edits.last().from + edits.last().added.size());
    else if (base.changeFrom >= 0)
        page.excerpt = excerptAround(*document, base.changeFrom + base.changeAdded);
    page.document = std::move(document);
    page.outcome = RecoveredPage::Outcome::Recovered;
    return page;
}

} // namespace vellumo
