#include "markup/abbreviation_expander.h"

#include "document/page.h"
#include "document/page_template.h"
#include "document/snippet_store.h"
#include "editor/insertion_core.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "html/abbreviation.h"
#include "html/completion.h"
#include "html/html_lexer.h"
#include "html/indentation.h"
#include "markup/auto_indent.h"

#include <QKeyEvent>
#include <QTimer>

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
        for (const Place &place : m_places)
            if (place.range->start() <= caret && caret <= place.range->end())
                return;
        stopLeading();
    });
    connect(&page, &Page::replaced, this, &AbbreviationExpander::stopLeading);
    // What is typed in a place with mirrors is copied to them once the key is done with:
    // the page is not edited from inside the report of an edit.
    connect(&page, &Page::changed, this, [this] {
        if (m_moving || m_copyDue || m_stops.empty())
            return;
        m_copyDue = true;
        QTimer::singleShot(0, this, &AbbreviationExpander::copyToMirrors);
    });
}

void AbbreviationExpander::setSnippets(SnippetFinder find,
                                       std::function<SnippetVariables()> variables) {
    m_findSnippet = std::move(find);
    m_variables = std::move(variables);
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

    const QStringView word = QStringView(text).sliced(start, column - start);
    if (m_findSnippet) {
        if (const Snippet *snippet = m_findSnippet(word)) {
            SnippetVariables variables = m_variables ? m_variables() : SnippetVariables{};
            variables.selection.clear(); // the trigger word is what stands before the caret
            return insertSnippet(snippet->body, lineStart + int(start), caret, variables);
        }
    }

    AbbreviationStyle style;
    style.upperCase = m_core.IsUpperTagCase();
    style.quote = m_core.attributeQuote();
    style.baseIndent = leadingIndentation(text).toString();
    style.indentUnit = indentUnitAt(page, line);
    style.skeleton = pageTemplate(style.upperCase);
    style.skeletonCaret = TemplateBodyOffset;
    QString error;
    const std::optional<Expansion> expansion = expandAbbreviation(word, style, &error);
    if (!expansion)
        return QStringLiteral("Not an abbreviation: %1").arg(error);

    const int at = lineStart + int(start);
    page.apply({RangeEdit{at, column - int(start), expansion->text}});
    QList<SnippetPlace> places;
    for (const auto &[from, to] : expansion->fields)
        places.append(SnippetPlace{int(places.size()) + 1, from, to, false});
    lead(at, expansion->text, places,
         places.isEmpty() ? expansion->caret : int(expansion->text.size()));
    return {};
}

QString AbbreviationExpander::insertSnippet(const QString &body, int from, int to,
                                            const SnippetVariables &variables) {
    Page &page = m_core.page();
    const int line = page.lineAt(from);
    const QString indentation = leadingIndentation(page.lineText(line)).toString();
    QString error;
    const std::optional<FilledSnippet> filled = fillSnippet(body, variables, indentation, &error);
    if (!filled)
        return QStringLiteral("The snippet cannot be written: %1").arg(error);
    page.apply({RangeEdit{from, to - from, filled->text}});
    lead(from, filled->text, filled->places, filled->finalCaret);
    return {};
}

// Makes the places of `text`, just written at `at`, and puts the caret in the first.
void AbbreviationExpander::lead(int at, const QString &text, const QList<SnippetPlace> &places,
                                int finalCaret) {
    stopLeading();
    Page &page = m_core.page();
    for (const SnippetPlace &place : places) {
        if (!place.mirror)
            m_stops.push_back(m_places.size());
        m_places.push_back(
            Place{std::make_unique<MovingRange>(page, at + place.start, at + place.end,
                                                MovingRange::Edges::Inside),
                  place.number, place.mirror});
    }
    if (m_stops.empty()) {
        stopLeading();
        page.setCaret(at + std::clamp(finalCaret, 0, int(text.size())));
        return;
    }
    const int end = at + std::clamp(finalCaret, 0, int(text.size()));
    m_end = std::make_unique<MovingRange>(page, end, end);
    goToStop(0);
}

void AbbreviationExpander::goToStop(std::size_t index) {
    m_current = index;
    const MovingRange &place = *m_places.at(m_stops.at(index)).range;
    // A place that holds text has it selected, so typing replaces it.
    m_moving = true;
    m_core.page().select(place.start(), place.end());
    m_moving = false;
}

void AbbreviationExpander::copyToMirrors() {
    m_copyDue = false;
    if (m_stops.empty())
        return;
    const Place &current = m_places.at(m_stops.at(m_current));
    Page &page = m_core.page();
    const QString typed = page.text(current.range->start(), current.range->end());
    // The mirrors in page order, each written over; their stretches are set again after,
    // since a stretch written over whole would shrink to nothing.
    std::vector<MovingRange *> mirrors;
    for (const Place &place : m_places)
        if (place.mirror && place.number == current.number &&
            page.text(place.range->start(), place.range->end()) != typed)
            mirrors.push_back(place.range.get());
    if (mirrors.empty())
        return;
    std::ranges::sort(mirrors, {}, &MovingRange::start);
    QList<RangeEdit> edits;
    std::vector<int> starts;
    int shift = 0;
    for (MovingRange *mirror : mirrors) {
        edits.append(RangeEdit{mirror->start(), mirror->end() - mirror->start(), typed});
        starts.push_back(mirror->start() + shift);
        shift += int(typed.size()) - (mirror->end() - mirror->start());
    }
    m_moving = true;
    page.apply(edits);
    for (std::size_t i = 0; i < mirrors.size(); ++i)
        mirrors[i]->set(starts[i], starts[i] + int(typed.size()));
    m_moving = false;
}

void AbbreviationExpander::stopLeading() {
    // The last made go first: each leaves the page's list from its back.
    m_end.reset();
    m_stops.clear();
    while (!m_places.empty())
        m_places.pop_back();
}

bool AbbreviationExpander::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_editor || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!m_stops.empty()) {
        if (key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier) {
            if (m_current + 1 < m_stops.size()) {
                goToStop(m_current + 1);
            } else {
                const int end = m_end->start();
                stopLeading();
                m_core.page().setCaret(end);
            }
            return true;
        }
        if (key->key() == Qt::Key_Backtab ||
            (key->key() == Qt::Key_Tab && modifiers == Qt::ShiftModifier)) {
            goToStop(m_current > 0 ? m_current - 1 : 0);
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
