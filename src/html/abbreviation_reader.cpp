#include "html/abbreviation_reader.h"

#include "html/elements.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <string_view>

namespace vellumo::abbreviation {

namespace {

// Deeper nesting than anyone writes by hand: the reader, and the writer after it, go one call
// deeper per level.
constexpr int MaxNesting = 100;
constexpr int DefaultLoremWords = 30;

// The attributes an element hardly goes without, with their usual values: they are written
// even when not asked for, as places to fill.
struct UsualAttributes {
    std::u16string_view element;
    std::u16string_view attributes; // "name" or "name=value", space separated
};
constexpr std::array<UsualAttributes, 8> UsualAttributeTable{{
    {u"a", u"href"},
    {u"img", u"src alt"},
    {u"link", u"rel=stylesheet href"},
    {u"form", u"action"},
    {u"label", u"for"},
    {u"input", u"type=text"},
    {u"iframe", u"src"},
    {u"area", u"shape href alt"},
}};

// What an element given only by its #id, .class or [attributes] is, by what it stands in.
struct ImpliedName {
    std::u16string_view parents; // space separated
    std::u16string_view name;
};
constexpr std::array<ImpliedName, 4> ImpliedNames{{
    {u"ul ol", u"li"},
    {u"table tbody thead tfoot", u"tr"},
    {u"tr", u"td"},
    {u"select optgroup", u"option"},
}};

bool listed(std::u16string_view list, QStringView name) {
    return QStringView(list).split(u' ').contains(name);
}

// What ends an id, a class name or an unquoted value, and what may follow an element.
bool isStop(QChar c) {
    return c.isSpace() || QStringView(u"#.[]{}()>+^*").contains(c);
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || QStringView(u"-_:$@").contains(c);
}

// Reads an abbreviation into nodes, or says where it goes wrong.
class AbbreviationReader {
public:
    AbbreviationReader(QStringView source, const AbbreviationStyle &style)
        : m_source(source)
        , m_style(style) {}

    bool read() {
        newNode(Node::Kind::Group);
        if (!readSequence(0, QString(), 0))
            return false;
        if (m_at < m_source.size())
            return fail(QStringLiteral("Unbalanced parenthesis"), m_at);
        settle();
        return true;
    }

    std::vector<Node> take() { return std::move(m_nodes); }
    const QString &error() const { return m_error; }

private:
    // Where the terms read go: the element or group they are the contents of, and the
    // element their implied names follow (lower case).
    struct Level {
        int container;
        QString element;
    };

    bool fail(const QString &what, qsizetype at) {
        m_error = QStringLiteral("%1 at %2").arg(what).arg(at + 1);
        return false;
    }
    bool atEnd() const { return m_at >= m_source.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_source.at(m_at); }

    QString cased(const QString &name) const {
        return m_style.upperCase ? name.toUpper() : name.toLower();
    }

    // Terms joined by '>', '+' and '^', up to the end or a ')' (left for the caller).
    bool readSequence(int group, const QString &element, int depth) {
        std::vector<Level> levels{{group, element}};
        for (;;) {
            if (depth + int(levels.size()) > MaxNesting)
                return fail(QStringLiteral("Nesting deeper than %1").arg(MaxNesting), m_at);
            const int node = readTerm(levels.back().element, depth + int(levels.size()));
            if (node < 0)
                return false;
            m_nodes[std::size_t(levels.back().container)].children.push_back(node);
            if (atEnd() || peek() == u')')
                return true;
            const qsizetype at = m_at;
            if (peek() == u'>') {
                ++m_at;
                const int host = hostOf(node, at);
                if (host < 0)
                    return false;
                levels.push_back({host, m_nodes[std::size_t(host)].name.toLower()});
            } else if (peek() == u'+') {
                ++m_at;
            } else if (peek() == u'^') {
                // Climbing past the top of the abbreviation or group stays there.
                for (; peek() == u'^'; ++m_at)
                    if (levels.size() > 1)
                        levels.pop_back();
            } else {
                return fail(QStringLiteral("Unexpected '%1'").arg(peek()), at);
            }
        }
    }

    // The element that takes the contents after a '>' following `node`: the node itself, or
    // for a group its last element.
    int hostOf(int node, qsizetype at) {
        const Node &n = m_nodes[std::size_t(node)];
        switch (n.kind) {
        case Node::Kind::Group:
            return hostOf(n.children.back(), at);
        case Node::Kind::Text:
        case Node::Kind::Lorem:
            fail(QStringLiteral("Text takes no contents"), at);
            return -1;
        case Node::Kind::Element:
            if (n.isVoid) {
                fail(QStringLiteral("%1 takes no contents").arg(n.name), at);
                return -1;
            }
            return node;
        }
        return -1;
    }

    int readTerm(const QString &parent, int depth) {
        const qsizetype at = m_at;
        if (peek() != u'(')
            return readElement(parent);
        ++m_at;
        const int group = newNode(Node::Kind::Group);
        ++m_openGroups;
        if (!readSequence(group, parent, depth))
            return -1;
        --m_openGroups;
        if (atEnd()) {
            fail(QStringLiteral("Unbalanced parenthesis"), at);
            return -1;
        }
        ++m_at; // ')'
        return readCopies(group) ? group : -1;
    }

    int newNode(Node::Kind kind) {
        Node node;
        node.kind = kind;
        m_nodes.push_back(std::move(node));
        return int(m_nodes.size()) - 1;
    }

    // An element, a {text} or lorem, with its "*N".
    int readElement(const QString &parent) {
        const qsizetype at = m_at;
        QString name;
        while (!atEnd() && isNameChar(peek()))
            name += m_source.at(m_at++);
        QString id;
        QStringList classes;
        QList<Attribute> bracketed;
        QString text;
        bool hasText = false;
        for (bool more = true; more;) {
            const qsizetype mark = m_at;
            switch (peek().unicode()) {
            case u'#':
            case u'.': {
                ++m_at;
                QString value;
                while (!atEnd() && !isStop(peek()))
                    value += m_source.at(m_at++);
                if (value.isEmpty()) {
                    fail(m_source.at(mark) == u'#' ? QStringLiteral("Expected an id")
                                                   : QStringLiteral("Expected a class name"),
                         mark);
                    return -1;
                }
                if (m_source.at(mark) == u'#')
                    id = value;
                else
                    classes << value;
                break;
            }
            case u'[':
                if (!readAttributes(&bracketed))
                    return -1;
                break;
            case u'{':
                if (!readText(&text))
                    return -1;
                hasText = true;
                break;
            default:
                more = false;
            }
        }
        const bool bare = id.isEmpty() && classes.isEmpty() && bracketed.isEmpty();
        int node = -1;
        if (name.isEmpty() && bare) {
            if (!hasText) {
                if (peek() == u')' && m_openGroups == 0)
                    fail(QStringLiteral("Unbalanced parenthesis"), at);
                else
                    fail(QStringLiteral("Expected an element"), at);
                return -1;
            }
            node = newNode(Node::Kind::Text);
            m_nodes[std::size_t(node)].text = text;
        } else if (const int words = loremLength(name); words >= 0) {
            if (!bare || hasText) {
                fail(QStringLiteral("Lorem takes no attributes"), at);
                return -1;
            }
            if (words > MaxCopies) {
                fail(QStringLiteral("More than %1 words").arg(MaxCopies), at);
                return -1;
            }
            // Filler in a list, a table or a menu goes in the items it holds.
            const QString item = itemName(parent);
            if (!item.isEmpty())
                node = newElement(item);
            const int lorem = newNode(Node::Kind::Lorem);
            m_nodes[std::size_t(lorem)].loremWords = words;
            if (node < 0)
                node = lorem;
            else
                m_nodes[std::size_t(node)].children.push_back(lorem);
        } else {
            node = newElement(name.isEmpty() ? impliedName(parent) : name.toLower());
            Node &element = m_nodes[std::size_t(node)];
            if (element.isVoid && hasText) {
                fail(QStringLiteral("%1 takes no contents").arg(element.name), at);
                return -1;
            }
            element.text = text;
            setAttributes(element, id, classes, bracketed);
        }
        return readCopies(node) ? node : -1;
    }

    int newElement(const QString &lowerName) {
        const int node = newNode(Node::Kind::Element);
        Node &element = m_nodes[std::size_t(node)];
        element.name = cased(lowerName);
        element.isVoid = isVoidElement(lowerName);
        element.isInline = isInlineElement(lowerName);
        return node;
    }

    // The element `parent` holds its contents in (li for ul), if it has one.
    static QString itemName(const QString &parent) {
        for (const ImpliedName &row : ImpliedNames)
            if (listed(row.parents, parent))
                return QString::fromUtf16(row.name.data(), qsizetype(row.name.size()));
        return {};
    }

    static QString impliedName(const QString &parent) {
        QString item = itemName(parent);
        if (!item.isEmpty())
            return item;
        return isInlineElement(parent) ? QStringLiteral("span") : QStringLiteral("div");
    }

    // How many words "lorem" or "loremN" asks for; -1 for any other name.
    static int loremLength(const QString &name) {
        if (!name.startsWith(u"lorem", Qt::CaseInsensitive))
            return -1;
        const QStringView digits = QStringView(name).mid(5);
        if (digits.isEmpty())
            return DefaultLoremWords;
        qint64 words = 0;
        for (const QChar c : digits) {
            if (!c.isDigit())
                return -1;
            words = qMin<qint64>(words * 10 + c.digitValue(), qint64(MaxCopies) + 1);
        }
        return int(words);
    }

    void setAttributes(Node &element, const QString &id, const QStringList &classes,
                       const QList<Attribute> &bracketed) const {
        if (!id.isEmpty())
            element.attributes.append({cased(QStringLiteral("id")), id, false});
        if (!classes.isEmpty())
            element.attributes.append({cased(QStringLiteral("class")), classes.join(u' '), false});
        for (const UsualAttributes &row : UsualAttributeTable) {
            if (QStringView(row.element).compare(element.name, Qt::CaseInsensitive) != 0)
                continue;
            for (const QStringView usual : QStringView(row.attributes).split(u' ')) {
                const qsizetype equals = usual.indexOf(u'=');
                element.attributes.append(
                    {cased(usual.left(equals).toString()),
                     equals < 0 ? QString() : usual.mid(equals + 1).toString(), true});
            }
        }
        for (const Attribute &given : bracketed) {
            auto same = std::find_if(
                element.attributes.begin(), element.attributes.end(), [&](const Attribute &a) {
                    return a.name.compare(given.name, Qt::CaseInsensitive) == 0;
                });
            if (same != element.attributes.end())
                *same = given;
            else
                element.attributes.append(given);
        }
    }

    // [name=value name="quoted value" name]
    bool readAttributes(QList<Attribute> *attributes) {
        const qsizetype open = m_at++;
        for (;;) {
            while (!atEnd() && peek().isSpace())
                ++m_at;
            if (atEnd())
                return fail(QStringLiteral("Unbalanced bracket"), open);
            if (peek() == u']') {
                ++m_at;
                return true;
            }
            const qsizetype at = m_at;
            Attribute attribute;
            while (!atEnd() && !peek().isSpace() && !QStringView(u"=[]\"'").contains(peek()))
                attribute.name += m_source.at(m_at++);
            if (attribute.name.isEmpty())
                return fail(QStringLiteral("Expected an attribute name"), at);
            attribute.name = cased(attribute.name);
            if (peek() == u'=') {
                ++m_at;
                if (peek() == u'"' || peek() == u'\'') {
                    const qsizetype quoteAt = m_at;
                    const QChar quote = m_source.at(m_at++);
                    const qsizetype close = m_source.indexOf(quote, m_at);
                    if (close < 0)
                        return fail(QStringLiteral("Unbalanced quote"), quoteAt);
                    attribute.value = m_source.mid(m_at, close - m_at).toString();
                    m_at = close + 1;
                } else {
                    while (!atEnd() && !peek().isSpace() && peek() != u']')
                        attribute.value += m_source.at(m_at++);
                }
            }
            attribute.field = attribute.value.isEmpty();
            attributes->append(attribute);
        }
    }

    // {text}, its own braces kept when they pair up inside it.
    bool readText(QString *text) {
        const qsizetype open = m_at;
        int depth = 0;
        for (qsizetype k = open; k < m_source.size(); ++k) {
            const QChar c = m_source.at(k);
            if (c == u'{') {
                ++depth;
            } else if (c == u'}' && --depth == 0) {
                *text += m_source.mid(open + 1, k - open - 1);
                m_at = k + 1;
                return true;
            }
        }
        return fail(QStringLiteral("Unbalanced brace"), open);
    }

    bool readCopies(int node) {
        if (peek() != u'*')
            return true;
        const qsizetype star = m_at++;
        if (atEnd() || !peek().isDigit())
            return fail(QStringLiteral("Expected a number after *"), star);
        qint64 copies = 0;
        for (; !atEnd() && peek().isDigit(); ++m_at)
            copies = qMin<qint64>(copies * 10 + peek().digitValue(), qint64(MaxCopies) + 1);
        if (copies > MaxCopies)
            return fail(QStringLiteral("More than %1 copies").arg(MaxCopies), star);
        m_nodes[std::size_t(node)].copies = int(copies);
        m_nodes[std::size_t(node)].copied = true;
        return true;
    }

    // What each node writes, children before parents (they come after them).
    void settle() {
        for (std::size_t k = m_nodes.size(); k-- > 0;) {
            Node &node = m_nodes[k];
            for (const int child : node.children) {
                node.contentsWrite |= m_nodes[std::size_t(child)].writes;
                node.breaksLines |= m_nodes[std::size_t(child)].writesBlock;
            }
            const bool copies = node.copies > 0;
            switch (node.kind) {
            case Node::Kind::Element:
                node.writes = copies;
                node.writesBlock = copies && (!node.isInline || node.breaksLines);
                break;
            case Node::Kind::Text:
                node.writes = copies && !node.text.isEmpty();
                break;
            case Node::Kind::Lorem:
                node.writes = copies && node.loremWords > 0;
                break;
            case Node::Kind::Group:
                node.writes = copies && node.contentsWrite;
                node.writesBlock = copies && node.breaksLines;
                break;
            }
        }
    }

    QStringView m_source;
    const AbbreviationStyle &m_style;
    qsizetype m_at = 0;
    int m_openGroups = 0;
    std::vector<Node> m_nodes;
    QString m_error;
};

} // namespace

bool readAbbreviation(QStringView source, const AbbreviationStyle &style, std::vector<Node> *nodes,
                      QString *error) {
    AbbreviationReader reader(source, style);
    if (!reader.read()) {
        *error = reader.error();
        return false;
    }
    *nodes = reader.take();
    return true;
}

} // namespace vellumo::abbreviation
