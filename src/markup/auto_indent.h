#pragma once

#include <QObject>
#include <QString>

namespace vellumo {

class InsertionCore;
class Page;
class PageEditor;

// One level of indentation as the page writes it: a tab, or as many spaces as the
// nearest indented line above `line` starts with (a tab when none is).
QString indentUnitAt(const Page &page, int line);

// Indentation as the user types: Enter starts the new line as far in as the line it
// breaks, one level deeper after a block's start tag, a '{' in a style or a script,
// or inside a tag going on to the next line (and between a start tag and its end tag,
// the end tag goes to a line of its own); Tab and Shift+Tab with a selection move
// its lines a level in or out. Each is one undo step.
class AutoIndent : public QObject {
    Q_OBJECT

public:
    AutoIndent(PageEditor *editor, InsertionCore &core, QObject *parent = nullptr);

    // The indentation an end tag typed first on `line` takes: the level of the block it
    // closes, one less than the line above unless that line opened it.
    static QString endTagIndentation(const Page &page, PageEditor &editor, int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void breakLine();
    void shiftLines(bool in);

    PageEditor *m_editor;
    InsertionCore &m_core;
};

} // namespace vellumo
