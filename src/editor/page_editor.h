#pragma once

#include <QPlainTextEdit>

namespace vellumo {

// The editor that holds the page source: a QPlainTextEdit with the page layout
// (an edit anywhere costs what it costs on a small page), whose clipboard
// traffic is the page's own text and nothing else.
//
// Qt's editor puts a copied selection on the clipboard as a rich-text fragment
// that it renders as HTML and as an OpenDocument file the first time anything
// reads the clipboard, and pastes through a second document of its own: seconds
// on a page of some megabytes, for a source editor that only ever wants the
// characters. It also turns non-breaking spaces into plain spaces on the way.
class PageEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit PageEditor(QWidget *parent = nullptr);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace vellumo
