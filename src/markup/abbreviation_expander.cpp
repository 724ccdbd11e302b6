#include "markup/abbreviation_expander.h"

#include "document/page.h"
#include "document/page_template.h"
#include "editor/insertion_core.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "html/abbreviation.h"
#include "html/completion.h"
#include "html/html_lexer.h"
#include "html/indentation.h"
#include "markup/auto_indent.h"

#include <QKeyEvent>

#include <algorithm>

namespace vellumo {

namespace {

// Whether a word typed before Tab is meant as an abbreviation: it uses the
// abbreviations' own signs, or names an element or the filler text. Any other word
// ("Hello" at the end of a sentence) keeps its Tab.
bool meantForTab(QStringView abbreviation) {
    static const QString signs = QStringLiteral(">+^*#.[{(!$");
    if (std::ranges::any_of(abbreviation, [](QChar c) { return signs.contains(c); }))
        return true;
    if (abbreviation.startsWith(u"lorem"))
        return true;
    return elementNames().contains(abbreviation.toString(), Qt::CaseInsensitive);
}

} // namespace

AbbreviationExpander::AbbreviationExpander(PageEditor *editor, InsertionCore &core, QObject *parent)
    : QObject(parent != nullptr ? parent : editor)
    , m_editor(editor)
    , m_core(core) {
    editor->installEventFilter(this);
    Page &page = core.page();
    connect(&page, &Page::caretMoved, this, [this] {
        if (m_moving || m_places.empty())
            return;
        // Typing in a place keeps the caret in it; a click or a key elsewhere ends the tour.
        const int caret = m_core.page().caret();
        for (const auto &place : m_places)
            if (place->start() <= caret && caret <= place->end())
                return;
        stopLeading();
    });
    connect(&page, &Page::replaced, this, &AbbreviationExpander::stopLeading);
}

AbbreviationExpander::~AbbreviationExpander() {
    stopLeading();
}

QString AbbreviationExpander::expand() {
    Page &page = m_core.page();
    if (page.hasSelection())
        return QStringLiteral("Expand Abbreviation works on the text before the caret");
    const int caret = page.caret();
    const int line = page.lineAt(caret);
    const int lineStart = page.lineStart(line);
    const int column = caret - lineStart;
    const QString text = page.lineText(line);
    const qsizetype start = abbreviationStart(text, column);
    if (start < 0 || start >= column)
        return QStringLiteral("No abbreviation before the caret");

    // Where the abbreviation starts, the page must be between tags: not in a tag, a
    // comment, a script, a style or any element whose contents are not markup.
    const HtmlLexPoint place = m_editor->colouring()->placeBeforeLine(line, int(start));
    const HtmlLexState state = lexHtmlLine(
        QStringView(text).sliced(place.position, start - place.position), place.state, nullptr);
    if (state.mode != HtmlLexState::Mode::Data)
        return QStringLiteral("No abbreviation is expanded inside a tag, a comment, a script or a "
                              "style");

    AbbreviationStyle style;
    style.upperCase = m_core.IsUpperTagCase();
    style.quote = m_core.attributeQuote();
    style.baseIndent = leadingIndentation(text).toString();
    style.indentUnit = indentUnitAt(page, line);
    style.skeleton = pageTemplate(style.upperCase);
    style.skeletonCaret = TemplateBodyOffset;
    QString error;
    const std::optional<Expansion> expansion =
        expandAbbreviation(QStringView(text).sliced(start, column - start), style, &error);
    if (!expansion)
        return QStringLiteral("Not an abbreviation: %1").arg(error);

    stopLeading();
    const int at = lineStart + int(start);
    page.apply({RangeEdit{at, column - int(start), expansion->text}});
    for (const auto &[from, to] : expansion->fields)
        m_places.push_back(std::make_unique<MovingRange>(page, at + from, at + to));
    if (m_places.empty()) {
        page.setCaret(at + expansion->caret);
        return {};
    }
    const int end = at + int(expansion->text.size());
    m_end = std::make_unique<MovingRange>(page, end, end);
    goToPlace(0);
    return {};
}

void AbbreviationExpander::goToPlace(std::size_t index) {
    m_current = index;
    const MovingRange &place = *m_places.at(index);
    // A place that holds text has it selected, so typing replaces it.
    m_moving = true;
    m_core.page().select(place.start(), place.end());
    m_moving = false;
}

void AbbreviationExpander::stopLeading() {
    // The last made go first: each leaves the page's list from its back.
    m_end.reset();
    while (!m_places.empty())
        m_places.pop_back();
}

bool AbbreviationExpander::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_editor || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!m_places.empty()) {
        if (key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier) {
            if (m_current + 1 < m_places.size()) {
                goToPlace(m_current + 1);
            } else {
                const int end = m_end->start();
                stopLeading();
                m_core.page().setCaret(end);
            }
            return true;
        }
        if (key->key() == Qt::Key_Backtab ||
            (key->key() == Qt::Key_Tab && modifiers == Qt::ShiftModifier)) {
            goToPlace(m_current > 0 ? m_current - 1 : 0);
            return true;
        }
        if (key->key() == Qt::Key_Escape)
            stopLeading();
        return false;
    }
    if (m_expandOnTab && key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier &&
        !m_core.page().hasSelection()) {
        const Page &page = m_core.page();
        const int line = page.lineAt(page.caret());
        const QString text = page.lineText(line);
        const int column = page.caret() - page.lineStart(line);
        const qsizetype start = abbreviationStart(text, column);
        if (start < 0 || !meantForTab(QStringView(text).sliced(start, column - start)))
            return false;
        const QString note = expand();
        if (note.isEmpty())
            return true;
        // What stands before the caret was not an abbreviation after all: the Tab is typed.
        if (note.startsWith(u"Not an abbreviation"))
            Q_EMIT noted(note);
    }
    return false;
}

} // namespace vellumo
