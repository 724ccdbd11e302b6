#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QMenu;
class QStatusBar;
class QTimer;

namespace vellumo {

class DocumentController;
class Page;
struct PageChange;
struct PageFormat;

// The permanent fields on the right of the status bar: where the caret is, the page's
// encoding and line breaks, and its name. The hint text on the left is left alone.
// The caret field follows every caret move from the caret's own line only; the others
// change when the page is opened, saved, made new or given another encoding.
class StatusFields final : public QObject {
    Q_OBJECT
public:
    StatusFields(QStatusBar *bar, Page &page, QObject *parent = nullptr);

    // Follows the page's life cycle from now on; a click on the encoding or the line
    // breaks then offers to change them.
    void follow(DocumentController &document);

    // What a click on EncodingLabel offers: "Save with encoding" and "Reopen with
    // encoding"; on LineBreakLabel: converting every break to LF, CR LF or CR.
    QMenu *encodingMenu() const { return m_encodingMenu; }
    QMenu *lineBreakMenu() const { return m_lineBreakMenu; }

    // "Ln 12, Col 5": the line, and the characters before the caret on it plus one
    // (a tab, or a character outside the BMP, counts as one).
    static QString caretText(const Page &page);
    // "LF", "CR LF", "CR", or "Mixed" when lines keep breaks of their own.
    static QString lineBreakText(const PageFormat &format, bool linesKeepOtherBreaks);
    // The page's encoding as the page names it, with " BOM" for UTF-8 written with a mark.
    static QString encodingText(const PageFormat &format);

    QLabel *CaretPosition = nullptr;
    QLabel *EncodingLabel = nullptr;
    QLabel *LineBreakLabel = nullptr;
    QLabel *PageName = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeMenus();
    void showCaret();
    // Keeps the caret's line known as free of characters outside the BMP through a few
    // characters typed into it, so typing in a long line does not read it at every key.
    void noteChange(const PageChange &change);
    void showPage();
    void showName();

    Page &m_page;
    DocumentController *m_document = nullptr;
    // The line last found to hold only characters of one UTF-16 unit each, where the
    // caret's column is its offset (-1: none), and the page's line count then.
    struct PlainLine {
        int number = -1;
        int lineCount = -1;
    } m_plainLine;
    QMenu *m_encodingMenu = nullptr;
    QMenu *m_lineBreakMenu = nullptr;
    QTimer *m_breaksCheck = nullptr;
};

} // namespace vellumo
