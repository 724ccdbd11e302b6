// The search core: what a pattern with its options finds in a text, going
// forwards, backwards and round the end, and what Replace All makes of a text.

#include "search/text_search.h"

#include "test_main.h"

#include <QTest>

using namespace vellumo;

namespace {

constexpr SearchOptions None;
constexpr SearchOptions Case = SearchOption::MatchCase;
constexpr SearchOptions Words = SearchOption::WholeWords;
constexpr SearchOptions Regex = SearchOption::RegularExpression;

// The text with every replacement of `search` applied.
QString replacedAll(const QString &text, const TextSearch &search, const QString &replacement,
                    SearchRange range) {
    QString result;
    qsizetype done = 0;
    for (const TextReplacement &r : search.replacements(text, replacement, range)) {
        result += QStringView(text).sliced(done, r.start - done);
        result += r.text;
        done = r.start + r.length;
    }
    return result + QStringView(text).sliced(done).toString();
}

} // namespace

class TextSearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
    void replaceAll_data();
    void replaceAll();
    void emptyMatchesMoveOn();
    void invalidPatterns_data();
    void invalidPatterns();
    void countsEveryMatch();
    void engineGivingUpIsNoMiss();
};

void TextSearchTest::find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<SearchOptions>("options");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("rangeStart");
    QTest::addColumn<int>("rangeEnd");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("wrapped");

    auto row = [](const char *name, const QString &text, const QString &pattern,
                  SearchOptions options, int from, int start, int length, bool wrapped = false) {
        QTest::newRow(name) << text << pattern << options << from << false << 0 << -1 << start
                            << length << wrapped;
    };
    row("case: any case by default", "Hello hello", "HELLO", None, 0, 0, 5);
    row("case: Match Case", "Hello hello", "hello", Case, 0, 6, 5);
    row("case: Match Case finds nothing", "Hello", "HELLO", Case, 0, -1, 0);
    row("case: accented letters fold", "CAFÉ", "café", None, 0, 0, 4);
    row("literal: regex characters are plain", "a.b axb", "x", None, 0, 5, 1);
    row("literal: dot is a dot", "axb a.b", "a.b", None, 0, 4, 3);
    row("whole words: inside a word skipped", "subclass classes class", "class", Words, 0, 17, 5);
    row("whole words: at punctuation", "<p class=x>", "class", Words, 0, 3, 5);
    row("whole words: at the line start", "xclass\nclass", "class", Words, 0, 7, 5);
    row("whole words: at the line end", "classy class\nz", "class", Words, 0, 7, 5);
    row("whole words: at the text end", "classy class", "class", Words, 0, 7, 5);
    row("whole words: underscore joins", "my_class class", "class", Words, 0, 9, 5);
    row("whole words: accented letter joins", "éclass class", "class", Words, 0, 7, 5);
    row("whole words: punctuation edge of the pattern", "a-->b", "-->", Words, 0, 1, 3);
    row("whole words: non-breaking space separates", "x\u00A0class\u00A0y", "class", Words, 0, 2,
        5);
    row("whole words: regular expression", "cat cats", "cat\\w?", Words | Regex, 0, 0, 3);
    row("regex: group", "<a href=x>", "href=(\\w)", Regex, 0, 3, 6);
    row("regex: stays in its line", "ab\ncd", "b\\s*c", Regex, 0, -1, 0);
    row("regex: \\n crosses the line end", "ab\ncd", "b\\nc", Regex, 0, 1, 3);
    row("regex: [^<]* stops at the line end", "x <a\nb", "a[^<]*", Regex, 0, 3, 1);
    row("regex: \\s+ over a line end keeps its line", "a \n b", "a\\s+", Regex, 0, 0, 2);
    row("regex: ^ is a line start", "ab\ncd", "^c", Regex, 0, 3, 1);
    row("regex: $ is a line end", "ab\ncd", "b$", Regex, 0, 1, 1);
    row("regex: escape \\t", "a\tb", "a\\tb", Regex, 0, 0, 3);
    row("empty match: at from", "abc", "x*", Regex, 1, 1, 0);
    row("empty match: lookahead", "ab", "(?=b)", Regex, 0, 1, 0);
    row("wrap: not needed", "one two one", "one", None, 5, 8, 3);
    row("wrap: round the end", "one two one", "one", None, 9, 0, 3, true);
    row("wrap: nothing anywhere", "one two", "six", None, 3, -1, 0);
    row("surrogate pair: found whole", "a\U0001F600b\U0001F600", "\U0001F600", None, 2, 4, 2);
    row("surrogate pair: regex dot takes both halves", "\U0001F600x", ".", Regex, 0, 0, 2);
    row("surrogate pair: letter in whole words", "\U0001D49Cab ab", "ab", Words, 0, 5, 2);
    row("lone surrogate: the text around it is searched",
        QString("a") + QChar(0xD800) + QString("b"), "b", None, 0, 2, 1);
    row("nbsp: not a plain space", "a\u00A0b a b", "a b", None, 0, 4, 3);
    row("nbsp: found as itself", "a b\u00A0c", "\u00A0", None, 0, 3, 1);
    row("CR LF: the pair as a break", "ab\r\ncd", "b\\r\\nc", Regex, 0, 1, 4);
    row("CR LF: never half of it", "ab\r\ncd", "\\n", Regex, 0, -1, 0);
    row("CR LF: dot stops before it", "ab\r\ncd", "b.*", Regex, 0, 1, 1);
    row("CR LF: $ before it", "ab\r\ncd", "b$", Regex, 0, 1, 1);
    row("CR LF: \\s+ keeps its line", "ab \r\ncd", "b\\s+", Regex, 0, 1, 2);

    auto backwardRow = [](const char *name, const QString &text, const QString &pattern,
                          SearchOptions options, int from, int start, int length, bool wrapped) {
        QTest::newRow(name) << text << pattern << options << from << true << 0 << -1 << start
                            << length << wrapped;
    };
    backwardRow("backward: the one before", "one two one", "one", None, 8, 0, 3, false);
    backwardRow("backward: round the start", "one two one", "one", None, 0, 8, 3, true);
    backwardRow("backward: regex group", "a1 a2 a3", "a(\\d)", Regex, 6, 3, 2, false);
    backwardRow("backward: far back", "needle" + QString(100000, u'x'), "needle", None, 100006, 0,
                6, false);
    backwardRow("backward: whole words", "class subclass", "class", Words, 14, 0, 5, false);

    QTest::newRow("in selection: starts inside")
        << "one one one"
        << "one" << SearchOptions(SearchOption::InSelection) << 0 << false << 2 << 11 << 4 << 3
        << false;
    QTest::newRow("in selection: a match over its end is out")
        << "one one one"
        << "one" << SearchOptions(SearchOption::InSelection) << 5 << false << 0 << 10 << 0 << 3
        << true;
    QTest::newRow("in selection: backward wraps inside")
        << "one one one"
        << "one" << SearchOptions(SearchOption::InSelection) << 4 << true << 3 << 11 << 8 << 3
        << true;
}

void TextSearchTest::find() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(SearchOptions, options);
    QFETCH(int, from);
    QFETCH(bool, backward);
    QFETCH(int, rangeStart);
    QFETCH(int, rangeEnd);

    const TextSearch search(pattern, options);
    QVERIFY2(search.isValid(), qPrintable(search.errorString()));
    const TextMatch match = search.find(text, from, backward, SearchRange{rangeStart, rangeEnd});
    QTEST(int(match.start), "start");
    if (match.found()) {
        QTEST(int(match.length), "length");
        QTEST(match.wrapped, "wrapped");
    }
}

void TextSearchTest::replaceAll_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<SearchOptions>("options");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("rangeStart");
    QTest::addColumn<int>("rangeEnd");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, const QString &text, const QString &pattern,
                  SearchOptions options, const QString &replacement, const QString &expected) {
        QTest::newRow(name) << text << pattern << options << replacement << 0 << -1 << expected;
    };
    row("literal: every one", "a.b axb a.b", "a.b", None, "X", "X axb X");
    row("literal: replacement taken as written", "x", "x", None, "\\1\\n$1", "\\1\\n$1");
    row("literal: any case", "Class CLASS", "class", None, "c", "c c");
    row("whole words", "class subclass class", "class", Words, "X", "X subclass X");
    row("regex: \\1 \\2", "John Smith", "(\\w+) (\\w+)", Regex, "\\2, \\1", "Smith, John");
    row("regex: $1 $2", "John Smith", "(\\w+) (\\w+)", Regex, "$2 $1", "Smith John");
    row("regex: $0 and \\0 are the match", "ab", "b", Regex, "[$0\\0]", "a[bb]");
    row("regex: $12 with one group is $1 then 2", "ab", "(b)", Regex, "$12", "ab2");
    row("regex: ${name}", "ab", "(?<x>b)", Regex, "<${x}>", "a<b>");
    row("regex: \\n \\t \\\\ $$", "ab", "b", Regex, "\\n\\t\\\\$$", "a\n\t\\$");
    row("regex: an unknown escape stays", "ab", "b", Regex, "\\q", "a\\q");
    row("regex: missing group is empty", "ab", "(b)", Regex, "[\\5]", "a[]");
    row("regex: empty matches move on", "abc", "x*", Regex, "-", "-a-b-c-");
    row("regex: after a match its end may match empty", "baa", "a*", Regex, "-", "-b--");
    row("regex: ^ on every line", "a\nb", "^", Regex, "> ", "> a\n> b");
    row("regex: lines joined by \\n", "a\nb\nc", "\\n", Regex, " ", "a b c");
    row("regex: surrogate pairs kept whole", "\U0001F600\U0001F601", ".", Regex, "[$0]",
        "[\U0001F600][\U0001F601]");
    row("CR LF: breaks survive a per-line pattern", "a \r\nb \r\n", " +$", Regex, "", "a\r\nb\r\n");
    QTest::newRow("in selection") << "one one one one"
                                  << "one" << SearchOptions(SearchOption::InSelection) << "1" << 2
                                  << 13 << "one 1 1 one";
}

void TextSearchTest::replaceAll() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(SearchOptions, options);
    QFETCH(QString, replacement);
    QFETCH(int, rangeStart);
    QFETCH(int, rangeEnd);
    const TextSearch search(pattern, options);
    QTEST(replacedAll(text, search, replacement, {rangeStart, rangeEnd}), "expected");
}

void TextSearchTest::emptyMatchesMoveOn() {
    // A search that goes on from an empty match finds the next place, not the same.
    const TextSearch search("\\b", Regex);
    const QString text = QStringLiteral("ab cd");
    TextMatch match = search.next(text, 0);
    QCOMPARE(match, (TextMatch{0, 0}));
    match = search.next(text, match.end(), {}, false);
    QCOMPARE(match, (TextMatch{2, 0}));
    match = search.next(text, match.end(), {}, false);
    QCOMPARE(match, (TextMatch{3, 0}));
    QCOMPARE(search.all(text).size(), 4);
}

void TextSearchTest::invalidPatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("error");
    QTest::newRow("unclosed group") << "(ab"
                                    << "missing closing parenthesis at position 3";
    QTest::newRow("quantifier with nothing before")
        << "a|*b"
        << "quantifier does not follow a repeatable item at position 2";
}

void TextSearchTest::invalidPatterns() {
    QFETCH(QString, pattern);
    const TextSearch search(pattern, Regex);
    QVERIFY(!search.isValid());
    QTEST(search.errorString(), "error");
    const QString text = "x(ab a|*b";
    QVERIFY(!search.find(text, 0, false).found());
    QVERIFY(search.all(text).isEmpty());
    // Taken literally, the same text is found.
    QCOMPARE(TextSearch(pattern, None).next(text, 0).found(), true);
}

void TextSearchTest::countsEveryMatch() {
    QString page;
    for (int i = 0; i < 1000; ++i)
        page += "<p class=\"c\">subclass</p>\n";
    int count = 0;
    TextSearch("class", Words).forEach(page, {}, [&](const TextMatch &) {
        ++count;
        return true;
    });
    QCOMPARE(count, 1000);
    std::atomic_bool cancel = true;
    count = 0;
    TextSearch("class", None)
        .forEach(
            page, {},
            [&](const TextMatch &) {
                ++count;
                return true;
            },
            &cancel);
    QCOMPARE(count, 0);
}

// A pattern that makes the expression engine give up on a long line (its match limit)
// finds nothing there, but that is no "not found": the search says so, and the
// matches after the line are not silently dropped from a count or a Replace All.
void TextSearchTest::engineGivingUpIsNoMiss() {
    const QString page = QString(30000, u'a') + QStringLiteral("\nxaabc\n");
    const TextSearch hard(QStringLiteral("(a|a)*bc"), Regex);
    QVERIFY(hard.isValid());
    const TextMatch first = hard.find(page, 0, false);
    QVERIFY(!first.found());
    QVERIFY(first.gaveUp);
    QVERIFY(hard.previous(page, page.size()).gaveUp);
    int count = 0;
    QVERIFY(!hard.forEach(page, {}, [&count](const TextMatch &) { return ++count > 0; }));
    bool gaveUp = false;
    QVERIFY(hard.replacements(page, QStringLiteral("x"), {}, &gaveUp).isEmpty());
    QVERIFY(gaveUp);
    // Past the long line the same pattern runs, and a simpler one everywhere.
    QCOMPARE(hard.next(page, 30001), (TextMatch{30002, 4}));
    const TextSearch easy(QStringLiteral("a+bc"), Regex);
    QCOMPARE(easy.all(page), (QList<TextMatch>{{30002, 4}}));
    QVERIFY(easy.forEach(page, {}, [](const TextMatch &) { return true; }));
    QVERIFY(!easy.find(page, 0, false).gaveUp);
}

VELLUMO_TEST_MAIN(TextSearchTest)
#include "tst_text_search.moc"
