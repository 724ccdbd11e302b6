#include "markup/auto_indent.h"

#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "html/indentation.h"

#include <QKeyEvent>

namespace vellumo {

namespace {

// How far up the page an indented line is looked for.
constexpr int LinesLookedAt = 200;
// More spaces than this in front of a line are alignment, not one level.
constexpr qsizetype WidestUnit = 8;

// Whether a line broken at `column` of `line` goes on a level deeper: the lexer's
// state kept for the line says how its text begins.
bool opensAt(const Page &page, PageEditor &editor, int line, int column, QString *element) {
    const QString text = page.lineText(line);
    const HtmlLexPoint place = editor.colouring()->placeBeforeLine(line, column);
    return opensLevel(QStringView(text).sliced(place.position, column - place.position),
                      place.state, element);
}

} // namespace

QString indentUnitAt(const Page &page, int line) {
    for (int up = line; up >= 0 && line - up <= LinesLookedAt; --up) {
        const QString text = page.lineText(up);
        const QStringView indentation = leadingIndentation(text);
        if (indentation.isEmpty() || indentation.size() == text.size())
            continue;
        if (indentation.front() == u'\t')
            return QStringLiteral("\t");
        return QString(std::min(indentation.size(), WidestUnit), u' ');
    }
    return QStringLiteral("\t");
}

AutoIndent::AutoIndent(PageEditor *editor, InsertionCore &core, QObject *parent)
    : QObject(parent != nullptr ? parent : editor)
    , m_editor(editor)
    , m_core(core) {
    editor->installEventFilter(this);
}

QString AutoIndent::endTagIndentation(const Page &page, PageEditor &editor, int line) {
    // The nearest line above with text, looked for as far as the unit is: a page of
    // blank lines costs no more than a short one.
    int above = line - 1;
    while (above >= 0 && line - above <= LinesLookedAt && page.lineText(above).trimmed().isEmpty())
        --above;
    if (above < 0 || line - above > LinesLookedAt)
        return {};
    const QString text = page.lineText(above);
    const QStringView indentation = leadingIndentation(text);
    if (opensAt(page, editor, above, int(text.size()), nullptr))
        return indentation.toString();
    return oneLevelLess(indentation, indentUnitAt(page, above)).toString();
}

bool AutoIndent::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_editor || event->type() != QEvent::KeyPress || m_editor->isReadOnly())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const Page &page = m_core.page();
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier && !page.hasSelection()) {
        breakLine();
        return true;
    }
    // A selection over more than one line moves by whole lines; within a line, Tab types.
    if (page.hasSelection() &&
        page.lineAt(page.selectionStart()) != page.lineAt(page.selectionEnd())) {
        if (key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier) {
            shiftLines(true);
            return true;
        }
        if (key->key() == Qt::Key_Backtab ||
            (key->key() == Qt::Key_Tab && modifiers == Qt::ShiftModifier)) {
            shiftLines(false);
            return true;
        }
    }
    return false;
}

void AutoIndent::breakLine() {
    Page &page = m_core.page();
    const int caret = page.caret();
    const int line = page.lineAt(caret);
    const int column = caret - page.lineStart(line);
    const QString text = page.lineText(line);
    const QString indentation = leadingIndentation(QStringView(text).first(column)).toString();
    QString element;
    if (!opensAt(page, *m_editor, line, column, &element)) {
        m_core.InsertAtCaret(u'\n' + indentation);
        return;
    }
    const QString deeper = indentation + indentUnitAt(page, line);
    // Between a start tag and its end tag, the end tag goes to a line of its own.
    const QStringView after = QStringView(text).sliced(column);
    if (!element.isEmpty() &&
        after.startsWith(QStringLiteral("</") + element, Qt::CaseInsensitive)) {
        m_core.InsertAtCaret(u'\n' + deeper + u'\n' + indentation);
        page.setCaret(caret + 1 + int(deeper.size()));
        return;
    }
    m_core.InsertAtCaret(u'\n' + deeper);
}

void AutoIndent::shiftLines(bool in) {
    Page &page = m_core.page();
    const int first = page.lineAt(page.selectionStart());
    int last = page.lineAt(page.selectionEnd());
    // A selection that ends at the start of a line leaves that line be.
    if (last > first && page.selectionEnd() == page.lineStart(last))
        --last;
    const QString unit = indentUnitAt(page, first);
    QList<RangeEdit> edits;
    for (int line = first; line <= last; ++line) {
        const QString text = page.lineText(line);
        if (in) {
            if (!text.isEmpty())
                edits.append(RangeEdit{page.lineStart(line), 0, unit});
            continue;
        }
        const QStringView indentation = leadingIndentation(text);
        const qsizetype removed = indentation.size() - oneLevelLess(indentation, unit).size();
        if (removed > 0)
            edits.append(RangeEdit{page.lineStart(line) + int(indentation.size() - removed),
                                   int(removed), QString()});
    }
    page.apply(edits);
    page.select(page.lineStart(first), page.lineStart(last) + page.lineLength(last));
}

} // namespace vellumo
