#include "editor/page_editor.h"

#include "editor/page_layout.h"
#include "editor/page_text.h"

#include <QMimeData>
#include <QTextCursor>

namespace vellumo {

PageEditor::PageEditor(QWidget *parent)
    : QPlainTextEdit(parent) {
    usePageLayout(this);
}

QMimeData *PageEditor::createMimeDataFromSelection() const {
    // The characters exactly as they stand in the page, line breaks as '\n'.
    auto *data = new QMimeData;
    data->setText(withLineFeeds(textCursor().selectedText()));
    return data;
}

void PageEditor::insertFromMimeData(const QMimeData *source) {
    // Whatever else the clipboard offers (HTML, Markdown, pictures), the page
    // takes its plain text, as typed characters would go in.
    if (isReadOnly() || source == nullptr || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace vellumo
