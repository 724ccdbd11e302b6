#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QPlainTextEdit;
class QTextDocument;

namespace vellumo {

// The page's text as the search sees it: every line break one '\n', nothing else
// changed (non-breaking spaces stay). It is taken from the editor once and kept
// until the page changes, so a search session does not copy a big page again at
// every keystroke or every Find Next. It follows the editor onto a new document
// (Open, a reload), and lets the copy go when the search is over.
class PageText : public QObject {
    Q_OBJECT

public:
    explicit PageText(QPlainTextEdit *editor, QObject *parent = nullptr);

    const QString &text();
    void release();

Q_SIGNALS:
    // The page changed since text() was last taken (typing, an undo, another page).
    void changed();

private:
    QPlainTextEdit *m_editor;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_watch;
    QString m_text;
    bool m_current = false;
};

} // namespace vellumo
