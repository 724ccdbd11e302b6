#include "markup/markup_completion.h"

#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "html/elements.h"
#include "html/named_references.h"
#include "markup/auto_indent.h"
#include "markup/entity_palette.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QStringListModel>

#include <algorithm>

namespace vellumo {

namespace {

// The names a list offers at most on screen at once.
constexpr int RowsShown = 10;
// The longest name typed before the list gives up.
constexpr int LongestName = 64;
// Around the caret on a long line, how far the tag it rests on is looked for.
constexpr int TagReach = 1024;

// The palette's entities come first among the names offered after '&': they are
// the ones pages use most.
const QStringList &paletteEntityNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const EntityButton &button : entityButtons()) {
            const QStringView entity = QStringView(button.entity).sliced(1).chopped(1);
            if (entity.startsWith(u'#')) {
                bool ok = false;
                const uint code = entity.sliced(1).toUInt(&ok);
                const QString name = ok ? referenceNameOf(char32_t(code)) : QString();
                if (!name.isEmpty())
                    list.append(name);
            } else {
                list.append(entity.toString());
            }
        }
        return list;
    }();
    return names;
}

const QStringList &allEntityNames() {
    static const QStringList names = entityNames(paletteEntityNames());
    return names;
}

bool isNameCharacter(QChar c, CompletionKind kind) {
    if (c.isLetterOrNumber())
        return c.unicode() < 0x80;
    return kind != CompletionKind::EntityName && (c == u'-' || c == u'_' || c == u':');
}

// The tag of `tags` the caret at `column` rests on: inside it, or touching it.
qsizetype tagAt(const QList<LineTag> &tags, int column) {
    qsizetype touching = -1;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const LineTag &tag = tags.at(i);
        if (tag.start < column && column < tag.stop)
            return i;
        if (touching < 0 && (tag.start == column || tag.stop == column))
            touching = i;
    }
    return touching;
}

} // namespace

MarkupCompletion::MarkupCompletion(PageEditor *editor, InsertionCore &core, QObject *parent)
    : QObject(parent != nullptr ? parent : editor)
    , m_editor(editor)
    , m_core(core)
    , m_popup(new QListView(editor))
    , m_model(new QStringListModel(this)) {
    // A list beside the editor that never takes the focus: the keys go on
    // reaching the editor, which hands the list the ones it answers to.
    m_popup->setObjectName(QStringLiteral("CompletionList"));
    m_popup->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_popup->setAttribute(Qt::WA_ShowWithoutActivating);
    m_popup->setFocusPolicy(Qt::NoFocus);
    m_popup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_popup->setSelectionMode(QAbstractItemView::SingleSelection);
    m_popup->setUniformItemSizes(true);
    m_popup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setModel(m_model);
    connect(m_popup, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_popup->setCurrentIndex(index);
        accept();
    });
    editor->installEventFilter(this);

    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_settle, &QTimer::timeout, this, &MarkupCompletion::markTags);
    Page &page = core.page();
    connect(&page, &Page::caretMoved, this, [this] {
        m_settle.start();
        // A click elsewhere, an undo: the list goes when the name it completes does.
        if (!m_forwarding && m_popup->isVisible())
            refilter();
    });
    connect(&page, &Page::changed, this, [this] { m_editor->setMarkedRanges({}); });
    connect(&page, &Page::replaced, this, [this] { m_editor->setMarkedRanges({}); });
    // The list stays under the caret when the page scrolls.
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_forwarding && m_popup->isVisible())
            refilter();
    });
}

void MarkupCompletion::setEnabled(bool on) {
    m_enabled = on;
    if (!on)
        dismiss();
}

bool MarkupCompletion::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_editor && watched == m_editor->window()) {
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            m_popup->isVisible())
            refilter();
        return false;
    }
    if (watched != m_editor || m_forwarding)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The list's keys reach the editor even where the window has a shortcut on them.
        if (m_popup->isVisible()) {
            switch (static_cast<QKeyEvent *>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
            case Qt::Key_Escape:
                event->accept();
                return true;
            default:
                break;
            }
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_popup->isVisible() && popupKey(key))
            return true;
        const QString text = key->text();
        const bool trigger =
            m_enabled && text.size() == 1 && QStringView(u"<&/ ").contains(text.at(0));
        if (!trigger && !m_popup->isVisible())
            return false; // a plain key costs nothing more
        const int caretBefore = m_core.page().selectionStart();
        forward(event);
        if (m_popup->isVisible())
            refilter();
        if (trigger)
            afterTyping(text.at(0), caretBefore);
        return true;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
        dismiss();
        break;
    default:
        break;
    }
    return false;
}

void MarkupCompletion::forward(QEvent *event) {
    // The editor and everyone watching it see the key as if nothing stood between.
    m_forwarding = true;
    QCoreApplication::sendEvent(m_editor, event);
    m_forwarding = false;
}

bool MarkupCompletion::popupKey(QKeyEvent *key) {
    const int rows = m_model->rowCount();
    const int row = m_popup->currentIndex().row();
    int to = row;
    switch (key->key()) {
    case Qt::Key_Up:
        to = row - 1;
        break;
    case Qt::Key_Down:
        to = row + 1;
        break;
    case Qt::Key_PageUp:
        to = row - (RowsShown - 1);
        break;
    case Qt::Key_PageDown:
        to = row + (RowsShown - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        accept();
        return true;
    case Qt::Key_Escape:
        dismiss();
        return true;
    default:
        return false;
    }
    m_popup->setCurrentIndex(m_model->index(std::clamp(to, 0, rows - 1), 0));
    return true;
}

void MarkupCompletion::afterTyping(QChar typed, int caretBefore) {
    const Page &page = m_core.page();
    const int caret = page.caret();
    if (page.hasSelection() || caret != caretBefore + 1)
        return; // the key typed nothing, or something else
    const int line = page.lineAt(caret);
    const int column = caret - page.lineStart(line);
    const int cut = column - (typed == u'/' ? 2 : 1);
    if (cut < 0)
        return;
    const QString text = page.lineText(line);
    if (text.at(column - 1) != typed)
        return;
    // The context from the lexer's state kept for the line (or the place of a
    // long line nearest the caret): never from the page's start.
    const HtmlLexPoint place = m_editor->colouring()->placeBeforeLine(line, cut);
    QString element;
    const CompletionKind kind = completionAt(
        QStringView(text).sliced(place.position, column - place.position), place.state, &element);
    switch (kind) {
    case CompletionKind::ElementName:
        open(kind, elementNames(), caret, typed);
        break;
    case CompletionKind::AttributeName: {
        // An attribute the tag already has is not offered again.
        QStringList names = attributeNames(element);
        QList<HtmlTokenSpan> spans;
        lexHtmlLinePart(text, place, static_cast<int>(text.size()) + 1, &spans);
        for (const QString &had : attributesOfTag(text, spans, column))
            names.removeAll(had);
        open(kind, std::move(names), caret, typed);
        break;
    }
    case CompletionKind::EntityName:
        open(kind, allEntityNames(), caret, typed);
        break;
    case CompletionKind::CloseTag:
        closeTag(element);
        break;
    case CompletionKind::None:
        break;
    }
}

void MarkupCompletion::open(CompletionKind kind, QStringList names, int anchor, QChar trigger) {
    if (kind != CompletionKind::EntityName && m_core.IsUpperTagCase())
        for (QString &name : names)
            name = name.toUpper();
    m_kind = kind;
    m_names = std::move(names);
    m_anchor = anchor;
    m_trigger = trigger;
    refilter();
}

void MarkupCompletion::refilter() {
    const Page &page = m_core.page();
    const int position = page.caret();
    if (m_kind == CompletionKind::None || page.hasSelection() || position < m_anchor ||
        position - m_anchor > LongestName || m_anchor < 1) {
        dismiss();
        return;
    }
    const QString typed = page.text(m_anchor - 1, position);
    const QStringView name = QStringView(typed).sliced(1);
    if (typed.front() != m_trigger ||
        !std::ranges::all_of(name, [this](QChar c) { return isNameCharacter(c, m_kind); })) {
        dismiss();
        return;
    }
    // Entity names differ by case (&Eacute; and &eacute;); tag names do not.
    const Qt::CaseSensitivity sensitivity =
        m_kind == CompletionKind::EntityName ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QStringList shown;
    for (const QString &candidate : std::as_const(m_names))
        if (candidate.startsWith(name, sensitivity))
            shown.append(candidate);
    if (shown.isEmpty()) {
        dismiss();
        return;
    }
    m_model->setStringList(shown);
    m_popup->setCurrentIndex(m_model->index(0, 0));

    const QFontMetrics metrics(m_popup->font());
    const int rowHeight = std::max(m_popup->sizeHintForRow(0), metrics.height());
    const int frame = 2 * m_popup->frameWidth();
    const int rows = std::min<int>(RowsShown, int(shown.size()));
    const int width =
        metrics.averageCharWidth() * 24 + frame +
        (int(shown.size()) > RowsShown ? m_popup->verticalScrollBar()->sizeHint().width() : 0);
    // Under the caret, or above it where the screen ends below.
    const QRect caretArea = m_editor->cursorRect();
    QRect area(m_editor->viewport()->mapToGlobal(caretArea.bottomLeft()),
               QSize(width, rows * rowHeight + frame));
    if (const QScreen *screen = m_editor->screen()) {
        const QRect screenArea = screen->availableGeometry();
        if (area.bottom() > screenArea.bottom())
            area.moveBottom(m_editor->viewport()->mapToGlobal(caretArea.topLeft()).y() - 1);
        if (area.right() > screenArea.right())
            area.moveRight(screenArea.right());
    }
    m_popup->setGeometry(area);
    if (!m_popup->isVisible()) {
        // The list follows the window when it is moved, as it follows scrolling.
        m_editor->window()->installEventFilter(this);
        m_popup->show();
    }
}

void MarkupCompletion::accept() {
    const QModelIndex index = m_popup->currentIndex();
    const QString name = index.isValid() ? index.data().toString() : QString();
    const CompletionKind kind = m_kind;
    const int position = m_core.page().caret();
    dismiss();
    if (name.isEmpty() || position < m_anchor)
        return;
    QString snippet = name;
    int back = 0;
    if (kind == CompletionKind::AttributeName) {
        // The caret lands between the quotes, ready for the value.
        snippet += u'=' + m_core.attributeQuote() + m_core.attributeQuote();
        back = 1;
    } else if (kind == CompletionKind::EntityName) {
        snippet += u';';
    }
    m_core.page().select(m_anchor, position);
    m_core.InsertAtCaret(snippet);
    if (back > 0)
        m_core.MoveCaretBack(back);
}

void MarkupCompletion::dismiss() {
    m_kind = CompletionKind::None;
    if (m_popup->isVisible())
        m_popup->hide();
}

void MarkupCompletion::closeTag(const QString &knownElement) {
    const Page &page = m_core.page();
    const int line = page.lineAt(page.caret());
    const QString element = knownElement.isEmpty()
                                ? openElementAt(line, page.columnAt(page.caret()) - 2)
                                : knownElement;
    if (element.isEmpty())
        return; // nothing open, or too far up to tell: "</" stays as typed
    const QString name = (m_core.IsUpperTagCase() ? element.toUpper() : element) + QLatin1Char('>');
    // An end tag typed first on its line goes back to the level of the block it closes.
    const int lineStart = page.lineStart(line);
    const int slash = page.caret() - 2;
    const QString lineText = page.lineText(line);
    const QStringView before = QStringView(lineText).first(slash - lineStart);
    const QString level = AutoIndent::endTagIndentation(page, *m_editor, line);
    if (before.trimmed().isEmpty() && before.size() > level.size() && before.startsWith(level)) {
        const int caret = page.caret();
        m_core.page().apply(
            {RangeEdit{lineStart + int(level.size()), int(before.size() - level.size()), QString()},
             RangeEdit{caret, 0, name}});
        m_core.page().setCaret(caret - int(before.size() - level.size()) + int(name.size()));
        return;
    }
    m_core.InsertAtCaret(name);
}

QList<LineTag> MarkupCompletion::lineTags(int line, HtmlLexState start, HtmlLexState *end,
                                          bool *endsEarlierTagSelfClosing) {
    const QString text = m_core.page().lineText(line);
    m_walked += text.size();
    if (end == nullptr && !text.contains(u'<') && !text.contains(u'>')) {
        *endsEarlierTagSelfClosing = false;
        return {};
    }
    QList<HtmlTokenSpan> spans;
    const HtmlLexState after = lexHtmlLine(text, start, &spans);
    if (end != nullptr)
        *end = after;
    return tagsOfLine(text, spans, endsEarlierTagSelfClosing);
}

// Walks up from `column` of `line`. The lines' states kept by the
// colours give each line's start without lexing anything above it, and the
// walk gives up after MostLinesWalked lines or MostCharactersWalked characters
// (under 20 ms at worst): an element opened further up is not completed.
QString MarkupCompletion::openElementAt(int line, int column) {
    PageColouring *colouring = m_editor->colouring();
    m_walked = 0;
    OpenElementWalk walk;
    {
        const QString text = m_core.page().lineText(line);
        const HtmlLexPoint place = colouring->placeBeforeLine(
            line, int(std::max<qsizetype>(0, column - MostCharactersWalked)));
        QList<HtmlTokenSpan> spans;
        lexHtmlLinePart(QStringView(text).first(column), place, column + 1, &spans);
        m_walked += column - place.position;
        QList<LineTag> tags = tagsOfLine(QStringView(text).first(column), spans);
        // A tag cut by the place is no tag at all.
        tags.removeIf([&place](const LineTag &tag) { return tag.start < place.position; });
        if (walk.feed(tags, false))
            return walk.element();
        if (place.position > 0)
            return {};
    }
    for (int up = line - 1;
         up >= 0 && line - up <= MostLinesWalked && m_walked < MostCharactersWalked; --up) {
        bool endsSelfClosing = false;
        if (walk.feed(lineTags(up, colouring->stateBeforeLine(up), nullptr, &endsSelfClosing),
                      endsSelfClosing))
            return walk.element();
    }
    return {};
}

void MarkupCompletion::markTags() {
    const Page &page = m_core.page();
    if (page.hasSelection()) {
        m_editor->setMarkedRanges({});
        return;
    }
    PageColouring *colouring = m_editor->colouring();
    const int line = page.lineAt(page.caret());
    const int lineStart = page.lineStart(line);
    const int column = page.caret() - lineStart;
    const QString text = page.lineText(line);
    const HtmlLexPoint place = colouring->placeBeforeLine(line, std::max(0, column - TagReach));
    QList<HtmlTokenSpan> spans;
    // A short line is lexed to its end, for the state the walk down goes on from.
    const int until = text.size() <= column + TagReach ? int(text.size()) + 1 : column + TagReach;
    const HtmlLexPoint stop = lexHtmlLinePart(text, place, until, &spans);
    QList<LineTag> tags = tagsOfLine(text, spans);
    tags.removeIf([&place](const LineTag &tag) { return tag.start < place.position; });
    const qsizetype at = tagAt(tags, column);
    if (at < 0) {
        m_editor->setMarkedRanges({});
        return;
    }
    const LineTag tag = tags.at(at);
    QList<std::pair<int, int>> marks{{lineStart + tag.start, lineStart + tag.stop}};
    auto mark = [&marks, &page](int in, const LineTag &partner) {
        const int start = page.lineStart(in);
        marks.append({start + partner.start, start + partner.stop});
    };
    m_walked = 0;
    if (tag.end) {
        OpenElementWalk walk(tag.name);
        if (walk.feed(tags.first(at), false)) {
            mark(line, tags.at(walk.foundIndex()));
        } else if (place.position == 0) {
            for (int up = line - 1;
                 up >= 0 && line - up <= MostLinesWalked && m_walked < MostCharactersWalked; --up) {
                bool endsSelfClosing = false;
                const QList<LineTag> upTags =
                    lineTags(up, colouring->stateBeforeLine(up), nullptr, &endsSelfClosing);
                if (walk.feed(upTags, endsSelfClosing)) {
                    if (walk.found())
                        mark(up, upTags.at(walk.foundIndex()));
                    break;
                }
            }
        }
    } else if (!tag.selfClosing && !isVoidElement(tag.name)) {
        EndTagWalk walk(tag.name);
        if (walk.feed(tags.sliced(at + 1))) {
            if (walk.found())
                mark(line, tags.at(at + 1 + walk.foundIndex()));
        } else if (stop.position > text.size()) {
            HtmlLexState state = stop.state;
            const int lines = page.lineCount();
            for (int down = line + 1;
                 down < lines && down - line <= MostLinesWalked && m_walked < MostCharactersWalked;
                 ++down) {
                bool unused = false;
                const QList<LineTag> downTags = lineTags(down, state, &state, &unused);
                if (walk.feed(downTags)) {
                    if (walk.found())
                        mark(down, downTags.at(walk.foundIndex()));
                    break;
                }
            }
        }
    }
    m_editor->setMarkedRanges(marks);
}

} // namespace vellumo
