#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBlock>

class QPlainTextEdit;
class QTextDocument;
class QTimer;

namespace vellumo {

// The page's text as the search sees it: every line break one '\n', nothing else
// changed (non-breaking spaces stay). It is taken from the editor once and kept
// up to date through the page's edits (the span they touched is read again when
// the text is next asked for), so a search session does not copy a big page again
// at every keystroke, every Find Next or every count. It follows the editor onto a
// new document (Open, a reload), and lets the copy go when the search is over.
//
// A big page can be read in slices between the window's events (read()), so that
// taking its text never holds the window still for long; text() takes it at once,
// which is the quicker road in all.
class PageText : public QObject {
    Q_OBJECT

public:
    // Pages of more characters than this are read in slices (tests lower it); smaller
    // ones are taken at once within about 40 ms.
    static inline int slicedFrom = 16'000'000;

    explicit PageText(QPlainTextEdit *editor, QObject *parent = nullptr);

    const QString &text();
    void release();

    // The text is taken (edits since then are taken in by text()).
    bool isCurrent();
    // Starts reading the page in slices (or goes on reading it); ready() follows.
    // A small page is read at once.
    void read();

Q_SIGNALS:
    // The page changed since text() was last asked for (typing, an undo, another page).
    void changed();
    // The text is current again after read().
    void ready();

private:
    void follow(QTextDocument *document);
    bool readSlice(qint64 budgetMs);
    void finish();
    void pageChanged(int position, int removed, int added);
    bool takeInEdits();

    QPlainTextEdit *m_editor;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_watch;
    QString m_text;
    bool m_current = false;
    // The page's edits since m_text was taken, as one span of today's page: [m_editedFrom,
    // m_editedTo) stands where m_text has its own characters; what follows it is unchanged.
    bool m_edited = false;
    int m_editedFrom = 0;
    int m_editedTo = 0;
    // The reading in progress: the text so far and the next line to read.
    QString m_partial;
    QTextBlock m_next;
    bool m_reading = false;
    QTimer *m_slices;
};

} // namespace vellumo
