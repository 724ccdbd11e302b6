#include "html/completion.h"

#include "html/elements.h"
#include "html/named_references.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

namespace vellumo {

namespace {

using Mode = HtmlLexState::Mode;
using Raw = HtmlLexState::Raw;

// HTML's elements, the foreign roots, and the older elements the dialogs still
// write or old pages still carry.
constexpr const char *ElementList =
    "a abbr acronym address applet area article aside audio b base basefont bdi bdo bgsound big "
    "blink blockquote body br button canvas caption center cite code col colgroup data datalist "
    "dd del details dfn dialog dir div dl dt em embed fieldset figcaption figure font footer form "
    "frame frameset h1 h2 h3 h4 h5 h6 head header hgroup hr html i iframe img input ins isindex "
    "kbd keygen label legend li link listing main map mark marquee math menu meta meter multicol "
    "nav nobr noembed noframes noscript object ol optgroup option output p param picture "
    "plaintext pre progress q rp rt ruby s samp script search section select slot small source "
    "spacer span strike strong style sub summary sup svg table tbody td template textarea tfoot "
    "th thead time title tr track tt u ul var video wbr xmp";

constexpr const char *GlobalAttributes =
    "accesskey autocapitalize autofocus class contenteditable dir draggable enterkeyhint hidden "
    "id inert inputmode is itemid itemprop itemref itemscope itemtype lang nonce onblur onchange "
    "onclick ondblclick onfocus onkeydown onkeypress onkeyup onmousedown onmousemove onmouseout "
    "onmouseover onmouseup popover slot spellcheck style tabindex title translate";

struct ElementAttributes {
    const char *elements; // sharing the list
    const char *attributes;
};

// Each element's own attributes, the older presentational ones included: the
// dialogs write them (ALIGN, BORDER, HSPACE, BGCOLOR...) and old pages are full of them.
constexpr auto OwnAttributes = std::to_array<ElementAttributes>({
    {"a", "download href hreflang name ping referrerpolicy rel target type"},
    {"applet", "align alt archive code codebase height hspace name object vspace width"},
    {"area", "alt coords download href hreflang nohref ping referrerpolicy rel shape target"},
    {"audio", "autoplay controls crossorigin loop muted preload src"},
    {"base", "href target"},
    {"basefont font", "color face size"},
    {"bgsound", "balance delay loop src volume"},
    {"blockquote q", "cite"},
    {"body", "alink background bgcolor leftmargin link onload onunload text topmargin vlink"},
    {"br", "clear"},
    {"button", "disabled form formaction formenctype formmethod formnovalidate formtarget name "
               "popovertarget type value"},
    {"canvas", "height width"},
    {"caption", "align"},
    {"col colgroup", "align span valign width"},
    {"del ins", "cite datetime"},
    {"details", "name open"},
    {"dialog", "open"},
    {"div h1 h2 h3 h4 h5 h6 p", "align"},
    {"embed", "autostart height hidden loop pluginspage src type volume width"},
    {"fieldset", "disabled form name"},
    {"form", "accept-charset action autocomplete enctype method name novalidate rel target"},
    {"frame", "frameborder longdesc marginheight marginwidth name noresize scrolling src"},
    {"frameset", "border bordercolor cols frameborder framespacing rows"},
    {"head", "profile"},
    {"hr", "align color noshade size width"},
    {"html", "manifest version xmlns"},
    {"iframe", "align allow allowfullscreen frameborder height loading marginheight marginwidth "
               "name referrerpolicy sandbox scrolling src srcdoc width"},
    {"img", "align alt border crossorigin decoding fetchpriority height hspace ismap loading "
            "longdesc lowsrc referrerpolicy sizes src srcset usemap vspace width"},
    {"input", "accept align alt autocomplete checked dirname disabled form formaction "
              "formenctype formmethod formnovalidate formtarget height list max maxlength min "
              "minlength multiple name pattern placeholder readonly required size src step type "
              "value width"},
    {"label", "for form"},
    {"li", "type value"},
    {"link", "as crossorigin disabled fetchpriority href hreflang integrity media "
             "referrerpolicy rel sizes type"},
    {"map", "name"},
    {"marquee", "behavior bgcolor direction height hspace loop scrollamount scrolldelay "
                "truespeed vspace width"},
    {"meta", "charset content http-equiv media name scheme"},
    {"meter", "high low max min optimum value"},
    {"object", "align archive border classid codebase codetype data declare form height "
               "hspace name standby type usemap vspace width"},
    {"ol", "reversed start type"},
    {"optgroup", "disabled label"},
    {"option", "disabled label selected value"},
    {"output", "for form name"},
    {"param", "name type value valuetype"},
    {"pre", "width"},
    {"progress", "max value"},
    {"script", "async blocking charset crossorigin defer fetchpriority integrity language "
               "nomodule referrerpolicy src type"},
    {"select", "autocomplete disabled form multiple name required size"},
    {"source", "height media sizes src srcset type width"},
    {"style", "blocking media type"},
    {"table", "align bgcolor border cellpadding cellspacing frame rules summary width"},
    {"td th", "abbr align axis bgcolor char charoff colspan headers height nowrap rowspan "
              "scope valign width"},
    {"textarea", "autocomplete cols dirname disabled form maxlength minlength name placeholder "
                 "readonly required rows wrap"},
    {"time", "datetime"},
    {"tr tbody thead tfoot", "align bgcolor char charoff valign"},
    {"track", "default kind label src srclang"},
    {"video", "autoplay controls crossorigin height loop muted playsinline poster preload src "
              "width"},
    {"ul", "compact type"},
});

QStringList words(const char *list) {
    return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
}

const QHash<QString, QStringList> &ownAttributes() {
    static const QHash<QString, QStringList> table = [] {
        QHash<QString, QStringList> result;
        auto add = [&result](const ElementAttributes &row) {
            const QStringList attributes = words(row.attributes);
            for (const QString &element : words(row.elements))
                result[element] += attributes;
        };
        std::ranges::for_each(OwnAttributes, add);
        for (QStringList &list : result) {
            list.sort();
            list.removeDuplicates();
        }
        return result;
    }();
    return table;
}

bool impliedClosedBySibling(const QString &element, const QStringList &siblings) {
    return std::ranges::any_of(
        siblings, [&element](const QString &s) { return closesOptionalEnd(s, element); });
}

// The name of the last start tag begun in `spans`, when the tag is still open at their end.
QString lastTagName(QStringView line, const QList<HtmlTokenSpan> &spans) {
    for (qsizetype i = spans.size() - 1; i >= 0; --i) {
        const HtmlTokenSpan &span = spans.at(i);
        if (span.kind == HtmlTokenKind::TagName)
            return line.mid(span.start, span.length).toString().toLower();
        if (span.kind == HtmlTokenKind::TagDelimiter &&
            line.mid(span.start, span.length).contains(u'>'))
            return {};
    }
    return {};
}

// The element whose end tag "</" may begin in contents `raw`: none in a script
// or a style sheet, where a "</" is their own text, nor in PLAINTEXT, which never ends.
QString rawElementName(Raw raw) {
    if (raw == Raw::Script || raw == Raw::Style || raw == Raw::Plaintext)
        return {};
    const std::u16string_view name = rawTextName(raw);
    return QString::fromUtf16(name.data(), qsizetype(name.size()));
}

} // namespace

const QStringList &elementNames() {
    static const QStringList list = [] {
        QStringList names = words(ElementList);
        names.sort();
        return names;
    }();
    return list;
}

QStringList attributeNames(QStringView element) {
    static const QStringList global = words(GlobalAttributes);
    QStringList names = ownAttributes().value(element.toString().toLower());
    for (const QString &name : global)
        if (!names.contains(name))
            names.append(name);
    return names;
}

QStringList entityNames(const QStringList &preferred) {
    QStringList names;
    QSet<QString> seen;
    names.reserve(qsizetype(namedReferences().size()) + preferred.size());
    for (const QString &name : preferred)
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    for (const NamedReference &reference : namedReferences()) {
        const QString name = QString::fromLatin1(reference.name);
        if (!seen.contains(name))
            names.append(name);
    }
    return names;
}

HtmlLexState stateAfter(QStringView line, HtmlLexState start) {
    return lexHtmlLine(line, start, nullptr);
}

CompletionKind completionAt(QStringView prefix, HtmlLexState before, QString *element) {
    if (prefix.isEmpty())
        return CompletionKind::None;
    const QChar typed = prefix.back();
    const QStringView up = prefix.first(prefix.size() - 1);
    if (typed == u'/' && up.endsWith(u'<')) {
        const HtmlLexState state = stateAfter(up.first(up.size() - 1), before);
        if (state.mode == Mode::Data)
            return CompletionKind::CloseTag;
        if (state.mode == Mode::RawContent && !rawElementName(state.raw).isEmpty()) {
            if (element != nullptr)
                *element = rawElementName(state.raw);
            return CompletionKind::CloseTag;
        }
        return CompletionKind::None;
    }
    if (typed != u'<' && typed != u'&' && typed != u' ')
        return CompletionKind::None;
    QList<HtmlTokenSpan> spans;
    const HtmlLexState state = lexHtmlLine(up, before, typed == u' ' ? &spans : nullptr);
    if (typed == u'<')
        return state.mode == Mode::Data ? CompletionKind::ElementName : CompletionKind::None;
    if (typed == u'&') {
        const bool references = state.mode == Mode::Data || (state.mode == Mode::RawContent &&
                                                             rawTextHoldsReferences(state.raw));
        return references ? CompletionKind::EntityName : CompletionKind::None;
    }
    // A space inside a start tag, after its name or an attribute.
    if ((state.mode != Mode::BeforeAttributeName && state.mode != Mode::AfterAttributeName) ||
        state.endTag)
        return CompletionKind::None;
    if (element != nullptr)
        *element = lastTagName(up, spans);
    return CompletionKind::AttributeName;
}

QList<LineTag> tagsOfLine(QStringView line, const QList<HtmlTokenSpan> &spans,
                          bool *endsEarlierTagSelfClosing) {
    QList<LineTag> tags;
    bool open = false; // a tag of this line is being read
    if (endsEarlierTagSelfClosing != nullptr)
        *endsEarlierTagSelfClosing = false;
    bool earlierDone = false;
    auto finish = [&](int stop, bool selfClosing) {
        LineTag &tag = tags.last();
        tag.stop = stop;
        tag.selfClosing = selfClosing;
        open = false;
        if (tag.name.isEmpty())
            tags.removeLast();
    };
    for (const HtmlTokenSpan &span : spans) {
        if (span.kind == HtmlTokenKind::TagName) {
            if (open && tags.last().name.isEmpty())
                tags.last().name = line.mid(span.start, span.length).toString().toLower();
            continue;
        }
        if (span.kind != HtmlTokenKind::TagDelimiter)
            continue;
        for (int i = span.start; i < span.start + span.length; ++i) {
            const QChar c = line.at(i);
            if (c == u'<') {
                if (open)
                    finish(i, false);
                const bool end = i + 1 < line.size() && line.at(i + 1) == u'/';
                tags.append(LineTag{QString(), end, false, i, int(line.size())});
                open = true;
            } else if (c == u'>') {
                const bool selfClosing = i > 0 && line.at(i - 1) == u'/';
                if (open) {
                    finish(i + 1, selfClosing);
                } else if (!earlierDone) {
                    earlierDone = true;
                    if (endsEarlierTagSelfClosing != nullptr && tags.isEmpty())
                        *endsEarlierTagSelfClosing = selfClosing;
                }
            }
        }
    }
    if (open)
        finish(int(line.size()), false);
    return tags;
}

QStringList attributesOfTag(QStringView line, const QList<HtmlTokenSpan> &spans, int caret) {
    QStringList names;
    for (const LineTag &tag : tagsOfLine(line, spans)) {
        if (tag.end || caret <= tag.start || caret > tag.stop)
            continue;
        for (const HtmlTokenSpan &span : spans)
            if (span.kind == HtmlTokenKind::AttributeName && span.start > tag.start &&
                span.start + span.length <= tag.stop)
                names << line.sliced(span.start, span.length).toString().toLower();
        break;
    }
    return names;
}

OpenElementWalk::OpenElementWalk(QString wanted)
    : m_wanted(std::move(wanted)) {
}

bool OpenElementWalk::feed(const QList<LineTag> &tags, bool endsEarlierTagSelfClosing) {
    if (found())
        return true;
    for (qsizetype i = tags.size() - 1; i >= 0; --i) {
        const LineTag &tag = tags.at(i);
        const bool selfClosed =
            tag.selfClosing || (i == tags.size() - 1 && m_nextEndsSelfClosing && !tag.end);
        if (tag.end) {
            m_waiting.append(tag.name);
            continue;
        }
        if (!m_waiting.isEmpty()) {
            if (m_waiting.last() == tag.name) {
                m_waiting.removeLast();
                if (m_waiting.isEmpty())
                    m_siblings.append(tag.name);
            } else if (const qsizetype at = m_waiting.lastIndexOf(tag.name); at >= 0) {
                m_waiting.removeAt(at); // an end tag met out of order
            }
            // Otherwise the element ended without its end tag inside the one waiting.
            continue;
        }
        if (selfClosed || isVoidElement(tag.name)) {
            m_siblings.append(tag.name);
            continue;
        }
        if (!m_wanted.isEmpty()) {
            // Whatever else is open here, the end tag wanted closes it too.
            if (tag.name != m_wanted)
                continue;
        } else if (impliedClosedBySibling(tag.name, m_siblings)) {
            m_siblings.append(tag.name);
            continue;
        }
        m_element = tag.name;
        m_foundIndex = i;
        return true;
    }
    m_nextEndsSelfClosing = endsEarlierTagSelfClosing;
    return false;
}

EndTagWalk::EndTagWalk(QString element)
    : m_element(std::move(element)) {
}

bool EndTagWalk::feed(const QList<LineTag> &tags) {
    if (m_over)
        return true;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const LineTag &tag = tags.at(i);
        if (!tag.end) {
            if (m_open.isEmpty() && closesOptionalEnd(tag.name, m_element)) {
                m_over = true; // a sibling's start ended it
                return true;
            }
            if (!tag.selfClosing && !isVoidElement(tag.name))
                m_open.append(tag.name);
            continue;
        }
        if (const qsizetype at = m_open.lastIndexOf(tag.name); at >= 0) {
            m_open.resize(at);
            continue;
        }
        m_over = true;
        if (tag.name == m_element)
            m_foundIndex = i;
        return true; // its own end tag, or its parent's
    }
    return false;
}

QString innermostOpenElement(QStringView text) {
    QList<QList<LineTag>> lines;
    QList<bool> selfClosingEnds;
    HtmlLexState state;
    for (const QStringView line : text.split(u'\n')) {
        QList<HtmlTokenSpan> spans;
        const HtmlLexState next = lexHtmlLine(line, state, &spans);
        bool endsSelfClosing = false;
        lines.append(tagsOfLine(line, spans, &endsSelfClosing));
        selfClosingEnds.append(endsSelfClosing);
        state = next;
    }
    OpenElementWalk walk;
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (walk.feed(lines.at(i), selfClosingEnds.at(i)))
            break;
    return walk.element();
}

} // namespace vellumo
