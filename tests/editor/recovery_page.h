#pragma once

// A page as the main window holds it - editor, insertion core, document
// controller - with a recovery journal in `folder`, and a small language for
// editing it the way a user does: "type:abc", "key:Return", "undo", "paste:text",
// "insert:text", "wrap", "select:3,8", "select:0,end", "caret:5", "replace:text"
// (the whole text set at once), "grey" (a change of look only), "clean".

#include "document/orphaned_journals.h"
#include "document/page_template.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/journal_replay.h"
#include "editor/page_editor.h"
#include "editor/recovery_journal.h"
#include "editor/title_dialog.h"
#include "scripted_platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QWidget>

namespace vellumo {

struct RecoveryPage {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};
    ScriptedPlatform platform;
    TForm2 title{&window};
    DocumentController doc{core, platform, title, &window};
    RecoveryJournal journal;

    explicit RecoveryPage(const QString &folder)
        : journal(folder) {
        core.setTagCase(UpperTagCase);
        editor->setPlainText(pageTemplate(true));
        editor->document()->setModified(false);
        if (journal.claim())
            doc.setRecoveryJournal(&journal);
    }

    QString text() const { return journalText(*editor->document()); }

    // Returns false (with the reason in `error`) on a step it does not know.
    bool edit(const QStringList &steps, QString *error = nullptr) {
        for (const QString &step : steps) {
            const QString op = step.section(u':', 0, 0);
            const QString arg = step.section(u':', 1);
            if (op == u"type") {
                type(arg);
            } else if (op == u"key") {
                static const QHash<QString, Qt::Key> keys{
                    {QStringLiteral("Return"), Qt::Key_Return},
                    {QStringLiteral("Backspace"), Qt::Key_Backspace},
                    {QStringLiteral("Delete"), Qt::Key_Delete},
                    {QStringLiteral("Left"), Qt::Key_Left},
                    {QStringLiteral("Home"), Qt::Key_Home},
                    {QStringLiteral("End"), Qt::Key_End}};
                if (!keys.contains(arg))
                    return fail(error, step);
                QTest::keyClick(editor, keys.value(arg));
            } else if (op == u"undo") {
                editor->undo();
            } else if (op == u"redo") {
                editor->redo();
            } else if (op == u"paste") {
                QGuiApplication::clipboard()->setText(arg);
                editor->paste();
            } else if (op == u"insert") {
                core.InsertAtCaret(arg);
            } else if (op == u"replace") {
                editor->setPlainText(arg);
            } else if (op == u"grey") {
                // A change of look only, as the start-up greying of the maker comment.
                QTextCursor cursor(editor->document());
                cursor.select(QTextCursor::Document);
                QTextCharFormat grey;
                grey.setForeground(Qt::gray);
                cursor.mergeCharFormat(grey);
            } else if (op == u"clean") {
                editor->document()->setModified(false);
            } else if (op == u"wrap") {
                core.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);
            } else if (op == u"select" || op == u"caret") {
                QTextCursor cursor = editor->textCursor();
                const int end = editor->document()->characterCount() - 1;
                const auto position = [end](const QString &n) {
                    return n == u"end" ? end : n.toInt();
                };
                cursor.setPosition(position(arg.section(u',', 0, 0)));
                if (op == u"select")
                    cursor.setPosition(position(arg.section(u',', 1, 1)), QTextCursor::KeepAnchor);
                editor->setTextCursor(cursor);
            } else {
                return fail(error, step);
            }
        }
        return true;
    }

private:
    // Key by key; a character without a key of its own comes as a key event
    // carrying just its text, as an input method delivers it.
    void type(const QString &text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(editor, c.toLatin1());
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(editor, &press);
            QCoreApplication::sendEvent(editor, &release);
        }
    }

    static bool fail(QString *error, const QString &step) {
        if (error != nullptr)
            *error = QStringLiteral("unknown step ") + step;
        return false;
    }
};

} // namespace vellumo
