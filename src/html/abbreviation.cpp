#include "html/abbreviation.h"

#include "html/abbreviation_reader.h"

#include <string_view>
#include <vector>

namespace vellumo {

namespace {

using abbreviation::Attribute;
using abbreviation::Node;

// The filler text "lorem" writes: its words in turn, from the start again after the last.
constexpr std::u16string_view LoremText =
    u"Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
    u"incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud "
    u"exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat. Duis aute irure "
    u"dolor in reprehenderit in voluptate velit esse cillum dolore eu fugiat nulla pariatur. "
    u"Excepteur sint occaecat cupidatat non proident, sunt in culpa qui officia deserunt "
    u"mollit anim id est laborum.";

// `words` words of the filler, ending in a full stop.
QString loremWords(int words) {
    const QList<QStringView> all = QStringView(LoremText).split(u' ');
    QString text;
    for (int k = 0; k < words; ++k) {
        if (k > 0)
            text += u' ';
        text += all.at(k % all.size());
    }
    if (text.endsWith(u','))
        text.chop(1);
    if (!text.endsWith(u'.'))
        text += u'.';
    return text;
}

// Writes read nodes out as markup, numbering their copies.
class MarkupWriter {
public:
    MarkupWriter(std::vector<Node> &nodes, const AbbreviationStyle &style)
        : m_nodes(nodes)
        , m_style(style) {}

    bool write() {
        const Node &top = m_nodes.front();
        Line line{top.breaksLines, 0, true};
        return writeContents(top, line, Counter{});
    }

    Expansion take() { return std::move(m_out); }

private:
    // The copy `$` numbers.
    struct Counter {
        int index = 0;
        int count = 1;
    };
    // Where contents go: each on a line of its own at `level`, or one after another.
    struct Line {
        bool broken;
        int level;
        bool top; // the abbreviation's own line: its first piece needs no line break
    };

    bool writeContents(const Node &parent, Line &line, Counter counter) {
        for (const int child : parent.children)
            if (!writeNode(m_nodes[std::size_t(child)], line, counter))
                return false;
        return true;
    }

    bool writeNode(Node &node, Line &line, Counter counter) {
        if (!node.writes)
            return true;
        for (int k = 0; k < node.copies; ++k) {
            const Counter own = node.copied ? Counter{k, node.copies} : counter;
            switch (node.kind) {
            case Node::Kind::Group:
                if (!writeContents(node, line, own))
                    return false;
                break;
            case Node::Kind::Lorem:
                if (node.text.isEmpty())
                    node.text = loremWords(node.loremWords);
                if (k > 0 && !line.broken)
                    m_out.text += u' '; // sentences after one another
                [[fallthrough]];
            case Node::Kind::Text:
                startPiece(line);
                writeNumbered(node.text, own);
                break;
            case Node::Kind::Element:
                startPiece(line);
                if (!writeElement(node, line.level, own))
                    return false;
                break;
            }
            if (m_out.text.size() > MaxExpansionLength)
                return false;
        }
        return true;
    }

    bool writeElement(const Node &node, int level, Counter counter) {
        QString &out = m_out.text;
        out += u'<';
        writeNumbered(node.name, counter);
        for (const Attribute &attribute : node.attributes) {
            out += u' ';
            writeNumbered(attribute.name, counter);
            out += u'=';
            out += m_style.quote;
            const qsizetype start = out.size();
            writeNumbered(attribute.value, counter, true);
            if (attribute.field)
                m_out.fields.append({int(start), int(out.size())});
            out += m_style.quote;
        }
        out += u'>';
        if (node.isVoid)
            return true;
        if (node.text.isEmpty() && !node.contentsWrite) {
            m_out.fields.append({int(out.size()), int(out.size())});
        } else {
            Line inner{node.breaksLines, node.breaksLines ? level + 1 : level, false};
            if (!node.text.isEmpty()) {
                startPiece(inner);
                writeNumbered(node.text, counter);
            }
            if (!writeContents(node, inner, counter))
                return false;
            if (node.breaksLines)
                newLine(level);
        }
        out += u"</";
        writeNumbered(node.name, counter);
        out += u'>';
        return true;
    }

    void startPiece(Line &line) {
        if (line.broken && !line.top)
            newLine(line.level);
        line.top = false;
    }

    void newLine(int level) {
        m_out.text += u'\n';
        m_out.text += m_style.baseIndent;
        for (int k = 0; k < level; ++k)
            m_out.text += m_style.indentUnit;
    }

    // `text` with its "$" runs replaced by the copy's number; in a value, the quote written
    // as a reference.
    void writeNumbered(QStringView text, Counter counter, bool value = false) {
        QString &out = m_out.text;
        const QChar quote = m_style.quote.isEmpty() ? QChar() : m_style.quote.front();
        if (!text.contains(u'$') && !(value && !quote.isNull() && text.contains(quote))) {
            out += text;
            return;
        }
        for (qsizetype k = 0; k < text.size();) {
            const QChar c = text.at(k);
            if (value && c == quote && !quote.isNull()) {
                out += quote == u'"' ? QStringLiteral("&quot;") : QStringLiteral("&#39;");
                ++k;
                continue;
            }
            if (c != u'$') {
                out += c;
                ++k;
                continue;
            }
            qsizetype width = 0;
            for (; k < text.size() && text.at(k) == u'$'; ++k)
                ++width;
            bool down = false;
            qint64 first = 1;
            if (k < text.size() && text.at(k) == u'@') {
                ++k;
                if (k < text.size() && text.at(k) == u'-') {
                    down = true;
                    ++k;
                }
                if (k < text.size() && text.at(k).isDigit()) {
                    first = 0;
                    for (; k < text.size() && text.at(k).isDigit(); ++k)
                        first = qMin<qint64>(first * 10 + text.at(k).digitValue(), 1'000'000'000);
                }
            }
            const qint64 number =
                down ? first + counter.count - 1 - counter.index : first + counter.index;
            out += QString::number(number).rightJustified(width, u'0');
        }
    }

    std::vector<Node> &m_nodes;
    const AbbreviationStyle &m_style;
    Expansion m_out;
};

Expansion skeletonExpansion(const AbbreviationStyle &style) {
    Expansion expansion;
    const qsizetype caret =
        qBound(qsizetype(0), qsizetype(style.skeletonCaret), style.skeleton.size());
    const QString lineBreak = QStringLiteral("\n") + style.baseIndent;
    expansion.text = style.skeleton.left(caret).replace(u'\n', lineBreak);
    expansion.caret = int(expansion.text.size());
    expansion.text += style.skeleton.mid(caret).replace(u'\n', lineBreak);
    return expansion;
}

} // namespace

std::optional<Expansion> expandAbbreviation(QStringView abbreviation,
                                            const AbbreviationStyle &style, QString *error) {
    const auto malformed = [error](const QString &reason) -> std::optional<Expansion> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (abbreviation.isEmpty())
        return malformed(QStringLiteral("Nothing to expand"));
    if (abbreviation == u"!")
        return skeletonExpansion(style);
    std::vector<Node> nodes;
    QString reason;
    if (!abbreviation::readAbbreviation(abbreviation, style, &nodes, &reason))
        return malformed(reason);
    MarkupWriter writer(nodes, style);
    if (!writer.write())
        return malformed(
            QStringLiteral("Expansion longer than %1 characters").arg(MaxExpansionLength));
    Expansion expansion = writer.take();
    expansion.caret =
        expansion.fields.isEmpty() ? int(expansion.text.size()) : expansion.fields.front().first;
    return expansion;
}

qsizetype abbreviationStart(QStringView line, qsizetype end) {
    end = qBound(qsizetype(0), end, line.size());
    // Which '>' end a tag ("<p>ul>li" starts after the first), found on the first '>' met.
    std::vector<bool> endsTag;
    const auto markTagEnds = [&] {
        endsTag.assign(std::size_t(end), false);
        bool inTag = false;
        QChar quote;
        for (qsizetype k = 0; k < end; ++k) {
            const QChar c = line.at(k);
            if (!inTag) {
                inTag = c == u'<' && k + 1 < end &&
                        (line.at(k + 1).isLetter() || QStringView(u"/!?").contains(line.at(k + 1)));
            } else if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                endsTag[std::size_t(k)] = true;
                inTag = false;
            }
        }
    };
    // A '}' or ']' with no opening partner is an ordinary character; once one is found, the
    // rest of the same kind are too, so a line full of them is still read once.
    bool braceUnpaired = false;
    bool bracketUnpaired = false;
    qsizetype k = end;
    while (k > 0) {
        const QChar c = line.at(k - 1);
        if (c.isSpace())
            break;
        if (c == u'>') {
            if (endsTag.empty())
                markTagEnds();
            if (endsTag[std::size_t(k - 1)])
                break;
        } else if (c == u'}' && !braceUnpaired) {
            int depth = 0;
            qsizetype open = k - 1;
            for (; open >= 0; --open) {
                if (line.at(open) == u'}')
                    ++depth;
                else if (line.at(open) == u'{' && --depth == 0)
                    break;
            }
            if (open >= 0) {
                k = open;
                continue;
            }
            braceUnpaired = true;
        } else if (c == u']' && !bracketUnpaired) {
            QChar quote;
            qsizetype open = k - 2;
            for (; open >= 0; --open) {
                const QChar d = line.at(open);
                if (!quote.isNull()) {
                    if (d == quote)
                        quote = QChar();
                } else if (d == u'"' || d == u'\'') {
                    quote = d;
                } else if (d == u'[') {
                    break;
                }
            }
            if (open >= 0) {
                k = open;
                continue;
            }
            bracketUnpaired = true;
        }
        --k;
    }
    return k == end ? -1 : k;
}

} // namespace vellumo