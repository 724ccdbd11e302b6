#include "preview/preview_copy.h"

#include "html/html_lexer.h"

#include <QList>

namespace vellumo {

namespace {

// Elements that never show: scrolling to them would go nowhere.
bool drawsNothing(QStringView name) {
    static constexpr QStringView unseen[] = {u"html", u"head",   u"title", u"meta",
                                             u"link", u"script", u"style", u"base"};
    for (const QStringView element : unseen)
        if (name.compare(element, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Reads the page tag by tag and writes it out with the marks added.
class Marker {
public:
    explicit Marker(QStringView page)
        : m_page(page) {
        m_out.reserve(page.size() + page.size() / 8);
    }

    QString run() {
        HtmlLexState state;
        QList<HtmlTokenSpan> spans;
        qsizetype lineStart = 0;
        for (int line = 1;; ++line) {
            qsizetype end = m_page.indexOf(u'\n', lineStart);
            if (end < 0)
                end = m_page.size();
            const QStringView text = m_page.sliced(lineStart, end - lineStart);
            spans.clear();
            state = lexHtmlLine(text, state, &spans);
            for (const HtmlTokenSpan &span : std::as_const(spans))
                read(span, text, lineStart, line);
            if (end == m_page.size())
                break;
            lineStart = end + 1;
        }
        m_out.append(m_page.sliced(m_copied));
        return m_out;
    }

private:
    void read(const HtmlTokenSpan &span, QStringView text, qsizetype lineStart, int line) {
        if (span.kind == HtmlTokenKind::TagName && m_inStartTag) {
            m_markable = !drawsNothing(text.sliced(span.start, span.length));
            return;
        }
        if (span.kind != HtmlTokenKind::TagDelimiter)
            return;
        // Neighbouring delimiters come as one span ("><", "/><").
        const QStringView marks = text.sliced(span.start, span.length);
        for (qsizetype i = 0; i < marks.size(); ++i) {
            const QChar c = marks.at(i);
            const bool slashClose = c == u'/' && i + 1 < marks.size() && marks.at(i + 1) == u'>';
            if (c == u'<') {
                const bool endTag = i + 1 < marks.size() && marks.at(i + 1) == u'/';
                m_inStartTag = !endTag;
                m_markable = false;
                m_tagLine = line;
                i += endTag ? 1 : 0;
            } else if (c == u'>' || slashClose) {
                if (m_inStartTag && m_markable)
                    mark(lineStart + span.start + i);
                m_inStartTag = false;
                i += slashClose ? 1 : 0;
            }
        }
    }

    void mark(qsizetype at) {
        m_out.append(m_page.sliced(m_copied, at - m_copied));
        m_out.append(u' ');
        m_out.append(PreviewLineAttribute);
        m_out.append(QStringLiteral("=\"%1\"").arg(m_tagLine));
        m_copied = at;
    }

    QStringView m_page;
    QString m_out;
    qsizetype m_copied = 0;
    bool m_inStartTag = false;
    bool m_markable = false;
    int m_tagLine = 0;
};

} // namespace

QByteArray previewCopy(QStringView page) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + Marker(page).run().toUtf8();
}

QString followCaretScript(int line) {
    return QStringLiteral("(function (line) {"
                          "  let best = null, at = -1;"
                          "  for (const e of document.querySelectorAll('[%1]')) {"
                          "    const n = Number(e.getAttribute('%1'));"
                          "    if (n <= line && n >= at && e.getClientRects().length > 0) { best = "
                          "e; at = n; }"
                          "  }"
                          "  if (best) best.scrollIntoView({block: 'nearest', inline: 'nearest'});"
                          "  return at;"
                          "})(%2)")
        .arg(PreviewLineAttribute)
        .arg(line);
}

} // namespace vellumo
