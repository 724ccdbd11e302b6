#pragma once

#include "document/page.h"

#include <QPointer>

class QPlainTextEdit;
class QTextDocument;

namespace vellumo {

// The page as the editor holds it: a Page over the editor's document and its caret.
// It follows the editor onto each new document (Open, a reload, a recovered page).
class EditorPage final : public Page {
    Q_OBJECT

public:
    explicit EditorPage(QPlainTextEdit *editor, QObject *parent = nullptr);

    int length() const override;
    QString text(int from, int to) const override;
    QChar characterAt(int position) const override;
    int lineCount() const override;
    int lineAt(int position) const override;
    int lineStart(int line) const override;
    int lineLength(int line) const override;
    QString lineText(int line) const override;

    int caret() const override;
    int anchor() const override;
    void select(int anchor, int caret, Reveal reveal = Reveal::InView) override;
    void focus() override;

    bool isModified() const override;
    void setModified(bool modified) override;
    bool isUndoAvailable() const override;
    bool isRedoAvailable() const override;
    void clearUndoHistory() override;

    bool
    applyInSlices(const QList<RangeEdit> &edits,
                  const std::function<bool(qint64 done, qint64 total)> &betweenSlices) override;

    // The editor's document got a new text in place of the old page (a new page).
    void newPageShown();

protected:
    QString wholeText() const override;
    int appendLines(QString &into, int line, const std::function<bool()> &timeUp) const override;

private:
    QTextDocument *document() const;
    // Takes in a document the editor was given since it was last looked at; true
    // when it did.
    bool follow();
    void contentsChanged(int position, int removed, int added);

    QPlainTextEdit *m_editor;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_contents;
    QMetaObject::Connection m_modification;
    // Edits made by apply() are noted one by one as they are made, not as Qt reports
    // them (one span for the whole edit block).
    bool m_applying = false;
    bool m_followed = false;
    // The page's length after the last edit noted.
    int m_length = 0;
};

} // namespace vellumo
