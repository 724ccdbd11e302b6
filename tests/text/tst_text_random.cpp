// Random edit sequences on the text buffer, checked step by step against a plain
// QString holding the same page. VELLUMO_TEXT_SEQUENCES and VELLUMO_TEXT_SEED
// choose how many sequences run and from which seed (scripts/fuzz.sh runs many).

#include "text/text_buffer.h"

#include "test_main.h"

#include <QRandomGenerator>

#include <vector>

using namespace vellumo;

namespace {

// The page as the buffer should hold it: the text and one break kind per '\n'.
struct ModelPage {
    QString text;
    QByteArray kinds;
};

// Pieces a page is built from: every kind of line break, characters of one, two,
// three and four UTF-8 bytes, and ASCII runs long enough for the 16-byte paths.
const QByteArray kPageBits[] = {"a",
                                "<p>",
                                "\n",
                                "\r\n",
                                "\r",
                                "\xE2\x80\xA9",
                                "\xC3\xA9",
                                "\xE2\x82\xAC",
                                "\xF0\x9F\x98\x80",
                                "<a href=\"chapter-two.htm\">link</a>"};
const QString kTypedBits[] = {QStringLiteral("x"),
                              QStringLiteral("<B>"),
                              QStringLiteral("\n"),
                              QStringLiteral("\n\n"),
                              QString::fromUtf8("é€"),
                              QString::fromUtf8("\xF0\x9F\x98\x80"),
                              QStringLiteral("The quick brown fox jumps\nover")};

class Sequence {
public:
    explicit Sequence(quint32 seed)
        : m_random(seed) {
        // A journal's view of the page: the text rebuilt from the change reports
        // alone, each checked against what it replaced.
        QObject::connect(&m_buffer, &TextBuffer::changed, &m_buffer, [this](const TextChange &c) {
            const QString removed = m_replayed.mid(c.position, c.removed);
            if (c.line != m_replayed.left(c.position).count(u'\n') ||
                c.linesRemoved != removed.count(u'\n') || removed.size() != c.removed)
                m_replayFault = QStringLiteral("change at %1 misreported").arg(c.position);
            const QString added = m_buffer.text(c.position, c.position + c.added);
            if (c.linesAdded != added.count(u'\n'))
                m_replayFault = QStringLiteral("lines added at %1 misreported").arg(c.position);
            m_replayed.replace(c.position, c.removed, added);
        });
    }

    // Runs one sequence; returns a description of the first difference, or nothing.
    QString run() {
        QByteArray bytes;
        const int bits = static_cast<int>(m_random.bounded(m_random.bounded(2) ? 12 : 200));
        for (int i = 0; i < bits; ++i)
            bytes += kPageBits[m_random.bounded(static_cast<int>(std::size(kPageBits)))];
        if (m_random.bounded(8) == 0)
            bytes += "\xE9"; // not UTF-8: read as Windows-1252
        const DecodedPage page = decodePage(bytes);
        m_usual = kindOfStyle(page.format.lineBreaks);
        m_model = {page.text, page.lineBreakKinds.isEmpty()
                                  ? QByteArray(page.text.count(u'\n'), m_usual)
                                  : page.lineBreakKinds};
        m_buffer.open(bytes);
        m_replayed = m_buffer.text();
        m_replayFault.clear();
        m_past.clear();
        m_future.clear();
        m_cleanAt = 0;
        for (int step = 0; step < 40; ++step) {
            act();
            if (const QString difference = compare(); !difference.isEmpty())
                return QStringLiteral("step %1: %2").arg(step).arg(difference);
        }
        return {};
    }

private:
    // A position that is not inside a surrogate pair, as an editor's caret never is.
    qsizetype randomPosition() {
        qsizetype position = m_random.bounded(static_cast<int>(m_model.text.size()) + 1);
        if (position > 0 && position < m_model.text.size() &&
            m_model.text.at(position).isLowSurrogate())
            --position;
        return position;
    }

    void insert() {
        const qsizetype position = randomPosition();
        const QString text = kTypedBits[m_random.bounded(static_cast<int>(std::size(kTypedBits)))];
        m_buffer.insert(position, text);
        const qsizetype line = m_model.text.left(position).count(u'\n');
        m_model.text.insert(position, text);
        m_model.kinds.insert(line, QByteArray(text.count(u'\n'), m_usual));
    }

    void remove() {
        qsizetype from = randomPosition();
        qsizetype to = m_random.bounded(4) == 0
                           ? randomPosition()
                           : std::min(from + m_random.bounded(6), m_model.text.size());
        if (to > 0 && to < m_model.text.size() && m_model.text.at(to).isLowSurrogate())
            --to;
        if (from > to)
            std::swap(from, to);
        m_buffer.remove(from, to);
        const qsizetype line = m_model.text.left(from).count(u'\n');
        m_model.kinds.remove(line, m_model.text.mid(from, to - from).count(u'\n'));
        m_model.text.remove(from, to - from);
    }

    void newStep() {
        if (m_cleanAt > static_cast<qsizetype>(m_past.size()))
            m_cleanAt = -1;
        m_past.push_back(m_model);
        m_future.clear();
    }

    void act() {
        const int choice = static_cast<int>(m_random.bounded(20));
        if (choice < 7) {
            newStep();
            insert();
        } else if (choice < 12) {
            // An empty range changes nothing and makes no undo step.
            const ModelPage before = m_model;
            remove();
            if (m_model.text == before.text && m_model.kinds == before.kinds)
                return;
            m_past.push_back(before);
            m_future.clear();
            if (m_cleanAt > static_cast<qsizetype>(m_past.size()) - 1)
                m_cleanAt = -1;
        } else if (choice < 14) {
            newStep();
            m_buffer.beginUndoGroup();
            insert();
            remove();
            insert();
            m_buffer.endUndoGroup();
        } else if (choice < 17) {
            if (m_past.empty())
                return m_buffer.undo();
            m_future.push_back(m_model);
            m_model = m_past.back();
            m_past.pop_back();
            m_buffer.undo();
        } else if (choice < 19) {
            if (m_future.empty())
                return m_buffer.redo();
            m_past.push_back(m_model);
            m_model = m_future.back();
            m_future.pop_back();
            m_buffer.redo();
        } else {
            m_buffer.markClean();
            m_cleanAt = static_cast<qsizetype>(m_past.size());
        }
    }

    QString compare() {
        if (!m_replayFault.isEmpty())
            return m_replayFault;
        if (m_replayed != m_model.text)
            return QStringLiteral("the change reports rebuild \"%1\"").arg(m_replayed);
        if (m_buffer.text() != m_model.text)
            return QStringLiteral("text \"%1\", expected \"%2\"")
                .arg(m_buffer.text(), m_model.text);
        const qsizetype lines = m_model.text.count(u'\n') + 1;
        if (m_buffer.lineCount() != lines)
            return QStringLiteral("%1 lines, expected %2").arg(m_buffer.lineCount()).arg(lines);
        qsizetype line = 0;
        for (qsizetype position = 0; position <= m_model.text.size(); ++position) {
            if (m_buffer.lineAt(position) != line)
                return QStringLiteral("position %1 on line %2")
                    .arg(position)
                    .arg(m_buffer.lineAt(position));
            if (position < m_model.text.size() && m_model.text.at(position) == u'\n') {
                ++line;
                if (m_buffer.lineStart(line) != position + 1)
                    return QStringLiteral("line %1 starts at %2")
                        .arg(line)
                        .arg(m_buffer.lineStart(line));
            }
        }
        const qsizetype from = randomPosition();
        const qsizetype to = std::max(from, randomPosition());
        if (m_buffer.text(from, to) != m_model.text.mid(from, to - from))
            return QStringLiteral("text from %1 to %2").arg(from).arg(to);
        const qsizetype someLine = m_random.bounded(static_cast<int>(lines));
        if (m_buffer.lineText(someLine) != m_model.text.section(u'\n', someLine, someLine))
            return QStringLiteral("line %1 reads \"%2\"")
                .arg(someLine)
                .arg(m_buffer.lineText(someLine));
        const bool allUsual = !m_model.kinds.contains(static_cast<char>(0)) &&
                              m_model.kinds.count(m_usual) == m_model.kinds.size();
        const QByteArray kinds = allUsual ? QByteArray() : m_model.kinds;
        if (m_buffer.lineBreakKinds() != kinds)
            return QStringLiteral("break kinds %1, expected %2")
                .arg(QString::fromLatin1(m_buffer.lineBreakKinds()), QString::fromLatin1(kinds));
        if (m_buffer.encoded() !=
            encodePage(m_model.text, m_buffer.format(), kinds, m_buffer.originalLines()))
            return QStringLiteral("saved bytes differ");
        if (m_buffer.canUndo() != !m_past.empty() || m_buffer.canRedo() != !m_future.empty())
            return QStringLiteral("undo or redo offered wrongly");
        if (m_buffer.isModified() != (m_cleanAt != static_cast<qsizetype>(m_past.size())))
            return QStringLiteral("modified flag");
        return {};
    }

    QRandomGenerator m_random;
    TextBuffer m_buffer;
    ModelPage m_model;
    std::vector<ModelPage> m_past;
    std::vector<ModelPage> m_future;
    qsizetype m_cleanAt = 0;
    char m_usual = BreakLF;
    QString m_replayed;
    QString m_replayFault;
};

} // namespace

class TestTextRandom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomEditsMatchAPlainString() {
        const int sequences = qEnvironmentVariableIsSet("VELLUMO_TEXT_SEQUENCES")
                                  ? qEnvironmentVariableIntValue("VELLUMO_TEXT_SEQUENCES")
                                  : 3000;
        const quint32 firstSeed = qEnvironmentVariableIntValue("VELLUMO_TEXT_SEED");
        for (int i = 0; i < sequences; ++i) {
            const quint32 seed = firstSeed + static_cast<quint32>(i);
            Sequence sequence(seed);
            const QString difference = sequence.run();
            if (!difference.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, %2").arg(seed).arg(difference)));
        }
    }
};

VELLUMO_TEST_MAIN(TestTextRandom)
#include "tst_text_random.moc"
