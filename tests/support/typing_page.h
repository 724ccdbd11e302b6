#pragma once

// The program's editor with its insertion core, shown and focused, for tests that type
// into a page: the page is written with '|' where the caret is, or '[' and ']' around
// the selection.

#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "whole_page.h"

#include <QTest>

namespace vellumo {

struct TypingPage {
    QWidget root;
    PageEditor *editor = new PageEditor(&root);
    InsertionCore core{editor};

    TypingPage() {
        editor->resize(600, 400);
        root.show();
        editor->setFocus();
    }
    Page &page() { return core.page(); }
    void put(QString text) {
        const qsizetype anchor = text.indexOf(u'[');
        if (anchor >= 0) {
            text.remove(anchor, 1);
            const qsizetype caret = text.indexOf(u']');
            setPageText(page(), text.remove(caret, 1));
            page().select(int(anchor), int(caret));
            return;
        }
        const qsizetype caret = text.indexOf(u'|');
        setPageText(page(), text.remove(caret, 1));
        page().setCaret(int(caret));
    }
    QString withCaret() { return pageText(page()).insert(page().caret(), u'|'); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor, key, modifiers);
    }
};

} // namespace vellumo
