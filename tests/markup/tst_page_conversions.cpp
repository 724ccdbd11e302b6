#include "document/charset_detection.h"
#include "markup/page_conversions.h"

#include "test_main.h"

#include <QTest>

using namespace vellumo;

Q_DECLARE_METATYPE(PageConversion)
Q_DECLARE_METATYPE(EntityScope)
Q_DECLARE_METATYPE(TextEncoding)

class tst_page_conversions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conversions_data() {
        QTest::addColumn<PageConversion>("conversion");
        QTest::addColumn<EntityScope>("scope");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changed");
        QTest::addColumn<int>("kept");

        const auto upper = PageConversion::TagsToUpper;
        const auto lower = PageConversion::TagsToLower;
        const auto toReferences = PageConversion::CharactersToEntities;
        const auto toCharacters = PageConversion::EntitiesToCharacters;
        const auto unencodable = EntityScope::Unencodable;
        const auto all = EntityScope::AllNonAscii;
        const auto latin = TextEncoding::Windows1252;
        const auto utf8 = TextEncoding::Utf8;
        const auto row = [&](const char *name, PageConversion conversion, EntityScope scope,
                             TextEncoding encoding, const char16_t *page, const char16_t *expected,
                             int changed, int kept = 0, int from = 0, int to = -1) {
            QTest::newRow(name) << conversion << scope << encoding << QString::fromUtf16(page)
                                << from << to << QString::fromUtf16(expected) << changed << kept;
        };

        row("case: names, never values or text", upper, all, utf8,
            u"<p class=\"note\" id=x>Text <b>x</b></p>",
            u"<P CLASS=\"note\" ID=x>Text <B>x</B></P>", 4);
        row("case: script holding </ and <b>", upper, all, utf8,
            u"<script type=\"module\">if (a </b) x = \"<b>\";</script>",
            u"<SCRIPT TYPE=\"module\">if (a </b) x = \"<b>\";</SCRIPT>", 2);
        row("case: comment holding tags", upper, all, utf8, u"<!-- <b>old</b> --><i>x</i>",
            u"<!-- <b>old</b> --><I>x</I>", 2);
        row("case: pre and textarea text", upper, all, utf8,
            u"<pre>a <b>b</b> c</pre><textarea>x <b> y</textarea>",
            u"<PRE>a <B>b</B> c</PRE><TEXTAREA>x <b> y</TEXTAREA>", 6);
        row("case: values holding >", upper, all, utf8, u"<a href=\"x>y\" title='a>b'>t</a>",
            u"<A HREF=\"x>y\" TITLE='a>b'>t</A>", 2);
        row("case: style sheet", upper, all, utf8, u"<style>p { color: red }</style>",
            u"<STYLE>p { color: red }</STYLE>", 2);
        row("case: doctype's identifiers kept", lower, all, utf8,
            u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"\n \"http://w3.org/x.dtd\">",
            u"<!doctype html public \"-//W3C//DTD HTML 4.01//EN\"\n \"http://w3.org/x.dtd\">", 1);
        row("case: tag over lines", upper, all, utf8, u"<a\nhref=\"x\"\n>t</a>",
            u"<A\nHREF=\"x\"\n>t</A>", 2);
        row("case: nothing to change", upper, all, utf8, u"<P>x &amp; y</P>", u"<P>x &amp; y</P>",
            0);
        row("case: the selection only", upper, all, utf8, u"<p><b>x</b></p>", u"<p><B>x</B></p>", 2,
            0, 3, 11);
        row("case: selection inside a script begun above", upper, all, utf8,
            u"<script>\nvar s = \"<b>\";\n</script>", u"<script>\nvar s = \"<b>\";\n</script>", 0,
            0, 9, 23);

        row("references: only what windows-1252 cannot hold", toReferences, unencodable, latin,
            u"<p title=\"\u20AC \u2603\">caf\u00E9 \u2603 &amp; <b>\u2192</b></p>",
            u"<p title=\"\u20AC &#9731;\">caf\u00E9 &#9731; &amp; <b>&rarr;</b></p>", 3);
        row("references: every non-ASCII character", toReferences, all, utf8,
            u"<p>caf\u00E9 \u00A9\u00A0\u03B1 \U0001F600 < & ></p>",
            u"<p>caf&eacute; &copy;&nbsp;&alpha; &#128512; < & ></p>", 5);
        row("references: UTF-8 holds everything", toReferences, unencodable, utf8,
            u"<p>caf\u00E9 \u2603</p>", u"<p>caf\u00E9 \u2603</p>", 0);
        row("references: never comments, scripts, styles, xmp", toReferences, all, utf8,
            u"<!-- \u00E9 --><script>s=\"\u00E9\"</script><style>p:after{content:\"\u00E9\"}"
            u"</style><xmp>\u00E9</xmp><title>\u00E9</title>",
            u"<!-- \u00E9 --><script>s=\"\u00E9\"</script><style>p:after{content:\"\u00E9\"}"
            u"</style><xmp>\u00E9</xmp><title>&eacute;</title>",
            1);

        row("characters: what windows-1252 holds", toCharacters, unencodable, latin,
            u"<p title=\"caf&eacute;\">&copy; &lt;b&gt; &amp; &quot; &#233;&#xE9; &rarr;</p>",
            u"<p title=\"caf\u00E9\">\u00A9 &lt;b&gt; &amp; &quot; \u00E9\u00E9 &rarr;</p>", 4, 1);
        row("characters: markup characters in any spelling", toCharacters, unencodable, utf8,
            u"&#60;&#x3E;&#38;&#34;&#39;&apos;&nvlt;", u"&#60;&#x3E;&#38;&#34;&#39;&apos;&nvlt;",
            0);
        row("characters: invisible ones and non-characters", toCharacters, unencodable, utf8,
            u"&nbsp;&#9;&#0;&#xD800;&#x110000;&shy;&zwj;&bogus;&#129;",
            u"&nbsp;&#9;&#0;&#xD800;&#x110000;&shy;&zwj;&bogus;&#129;", 0);
        row("characters: old numbers as windows-1252 meant them", toCharacters, unencodable, utf8,
            u"&#150;&#128;&rarr;&NotEqualTilde;", u"\u2013\u20AC\u2192\u2242\u0338", 4);
        row("characters: never comments, scripts, xmp", toCharacters, unencodable, utf8,
            u"<!-- &eacute; --><script>x=\"&eacute;\"</script><xmp>&eacute;</xmp>",
            u"<!-- &eacute; --><script>x=\"&eacute;\"</script><xmp>&eacute;</xmp>", 0);
        row("characters: a reference across the selection's edge stays", toCharacters, unencodable,
            utf8, u"&eacute;&copy;", u"&eacute;\u00A9", 1, 0, 3, 14);
    }

    void conversions() {
        QFETCH(PageConversion, conversion);
        QFETCH(EntityScope, scope);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, page);
        QFETCH(int, from);
        QFETCH(int, to);
        ConversionOptions options;
        options.from = from;
        options.to = to;
        options.scope = scope;
        if (encoding != TextEncoding::Utf8)
            options.canHold = [encoding](char32_t c) {
                return !firstUnencodable(QString::fromUcs4(&c, 1), encoding);
            };
        const ConversionResult result = convertPage(page, conversion, options);
        QTEST(applyEdits(page, result.edits), "expected");
        QTEST(result.changed, "changed");
        QTEST(result.kept, "kept");
        // Edits are in order, apart, and never hold a line break, so the editor
        // replaces within lines and every line keeps its break.
        for (qsizetype i = 0; i < result.edits.size(); ++i) {
            const RangeEdit &edit = result.edits.at(i);
            QVERIFY(!edit.text.contains(u'\n'));
            QVERIFY(!QStringView(page).sliced(edit.start, edit.length).contains(u'\n'));
            if (i > 0)
                QVERIFY(edit.start > result.edits.at(i - 1).start + result.edits.at(i - 1).length);
        }
    }

    // Where a page without a declaration gets one.
    void charsetDeclarationGoesIntoTheHead_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("declared"); // the page afterwards; "" nothing added
        QTest::newRow("after <head>, past a comment that names one")
            << "<!DOCTYPE html>\n<!-- <head> -->\n<html lang=en>\n<HEAD>\n<title>t</title>"
            << "<!DOCTYPE html>\n<!-- <head> -->\n<html lang=en>\n<HEAD><META CHARSET=\"UTF-8\">"
               "\n<title>t</title>";
        QTest::newRow("after <html> without a head") << "<html><p>x</p>"
                                                     << "<html><meta charset=\"UTF-8\"><p>x</p>";
        QTest::newRow("after the <!DOCTYPE>, never before it")
            << "<!DOCTYPE html><p>x</p>"
            << "<!DOCTYPE html><meta charset=\"UTF-8\"><p>x</p>";
        QTest::newRow("at the start of a fragment") << "<p>x</p>"
                                                    << "<meta charset=\"UTF-8\"><p>x</p>";
        QTest::newRow("a <head> in the body is no head")
            << "<html><body><p>x</p><head>"
            << "<html><meta charset=\"UTF-8\"><body><p>x</p><head>";
        QTest::newRow("declared already: nothing")
            << "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
            << "";
    }
    void charsetDeclarationGoesIntoTheHead() {
        QFETCH(QString, page);
        QFETCH(QString, declared);
        const std::optional<RangeEdit> edit = charsetDeclarationEdit(page, QStringLiteral("UTF-8"));
        QCOMPARE(edit ? applyEdits(page, {*edit}) : QString(), declared);
    }

    void caretFollowsTheText_data() {
        QTest::addColumn<PageConversion>("conversion");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside a name changing case")
            << PageConversion::TagsToUpper << QStringLiteral("<div>x</div>") << 3 << 3;
        QTest::newRow("after references") << PageConversion::EntitiesToCharacters
                                          << QStringLiteral("&eacute;&copy; x") << 15 << 3;
        QTest::newRow("inside a reference goes to its character's end")
            << PageConversion::EntitiesToCharacters << QStringLiteral("a &eacute; b") << 5 << 3;
        QTest::newRow("before the changes")
            << PageConversion::CharactersToEntities << QStringLiteral("ab \u00E9") << 1 << 1;
    }
    void caretFollowsTheText() {
        QFETCH(PageConversion, conversion);
        QFETCH(QString, page);
        QFETCH(int, caret);
        ConversionOptions options;
        options.caret = caret;
        options.scope = EntityScope::AllNonAscii;
        QTEST(convertPage(page, conversion, options).caret, "expected");
    }
};

VELLUMO_TEST_MAIN(tst_page_conversions)
#include "tst_page_conversions.moc"
