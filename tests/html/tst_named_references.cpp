#include "html/named_references.h"

#include "test_main.h"

#include <QTest>

using namespace vellumo;

class tst_named_references : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tableIsSortedForLookup() {
        const auto references = namedReferences();
        QCOMPARE(references.size(), std::size_t{2125});
        for (std::size_t i = 1; i < references.size(); ++i)
            QVERIFY2(qstrcmp(references[i - 1].name, references[i].name) < 0, references[i].name);
    }

    void lookups_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("characters");
        QTest::newRow("html4") << "eacute" << QStringLiteral("\u00E9");
        QTest::newRow("case matters") << "Eacute" << QStringLiteral("\u00C9");
        QTest::newRow("first") << "AElig" << QStringLiteral("\u00C6");
        QTest::newRow("last") << "zwnj" << QStringLiteral("\u200C");
        QTest::newRow("astral") << "Afr" << QString::fromUcs4(U"\U0001D504", 1);
        QTest::newRow("two code points") << "NotEqualTilde" << QStringLiteral("\u2242\u0338");
        QTest::newRow("unknown") << "eacutex" << QString();
        QTest::newRow("prefix only") << "eacut" << QString();
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("decimal") << "#233" << QStringLiteral("\u00E9");
        QTest::newRow("hexadecimal, either case") << "#Xe9" << QStringLiteral("\u00E9");
        QTest::newRow("leading zeros") << "#x0000E9" << QStringLiteral("\u00E9");
        QTest::newRow("128-159 are windows-1252's") << "#150" << QStringLiteral("\u2013");
        QTest::newRow("astral number") << "#x1F600" << QString::fromUcs4(U"\U0001F600", 1);
        QTest::newRow("surrogate") << "#xD800" << QString();
        QTest::newRow("past Unicode") << "#x110000" << QString();
        QTest::newRow("far past Unicode") << "#99999999999999999999" << QString();
        QTest::newRow("zero") << "#0" << QString();
        QTest::newRow("not a number") << "#12a" << QString();
        QTest::newRow("no digits") << "#x" << QString();
    }
    void lookups() {
        QFETCH(QString, name);
        QFETCH(QString, characters);
        QCOMPARE(charactersOfReference(name), characters);
    }

    void decoding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("names and numbers") << "caf&eacute; &#233;t&#xE9; &amp;&lt;"
                                           << QStringLiteral("caf\u00E9 \u00E9t\u00E9 &<");
        QTest::newRow("unknown, unended and bare stay as written") << "&bogus; &eacute &; & x"
                                                                   << "&bogus; &eacute &; & x";
        QTest::newRow("a reference right after a lone ampersand") << "&&amp;"
                                                                  << "&&";
        QTest::newRow("no reference") << "plain"
                                      << "plain";
    }
    void decoding() {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(decodeCharacterReferences(text), decoded);
    }

    void preferredNames_data() {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QString>("name");
        QTest::newRow("html4 over longer aliases") << 0xA0u << "nbsp";     // NonBreakingSpace
        QTest::newRow("html4 over shorter alias") << 0x3D1u << "thetasym"; // thetav too
        QTest::newRow("copy") << 0xA9u << "copy";                          // COPY too
        QTest::newRow("shortest modern") << 0x2260u << "ne";
        QTest::newRow("none") << 0x4E00u << QString();
    }
    void preferredNames() {
        QFETCH(uint, codePoint);
        QFETCH(QString, name);
        QCOMPARE(referenceNameOf(codePoint), name);
    }
};

VELLUMO_TEST_MAIN(tst_named_references)
#include "tst_named_references.moc"
