#include "document/snippet_store.h"
#include "files.h"
#include "html/snippet_body.h"
#include "permissions_enforced.h"
#include "read_only_folder.h"
#include "test_main.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

using namespace vellumo;

// The snippets file: written and read back, missing, broken, partly bad, in a folder that
// cannot be written; triggers; the starter set.
class TestSnippetStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A fresh folder for one test's file.
    QString freshFolder() {
        QString folder = m_dir.filePath(QString::number(++m_folders));
        QDir().mkpath(folder);
        return folder;
    }

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<QList<Snippet>>("snippets");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nominal: quotes, backslashes, breaks, tabs, accents")
            << QList<Snippet>{{"Quoted \"name\"", QStringLiteral("q-1_é"),
                               QStringLiteral("<p>\n\t\"ünï\" \\ ${1:x}</p>")},
                              {"Empty body", "e", ""}}
            << QByteArray(
                   "{\n"
                   "    \"version\": 1,\n"
                   "    \"snippets\": [\n"
                   "        {\n"
                   "            \"name\": \"Quoted \\\"name\\\"\",\n"
                   "            \"trigger\": \"q-1_\xC3\xA9\",\n"
                   "            \"body\": \"<p>\\n\\t\\\"\xC3\xBCn\xC3\xAF\\\" \\\\ ${1:x}</p>\"\n"
                   "        },\n"
                   "        {\n"
                   "            \"name\": \"Empty body\",\n"
                   "            \"trigger\": \"e\",\n"
                   "            \"body\": \"\"\n"
                   "        }\n"
                   "    ]\n"
                   "}\n");
        QTest::newRow("nominal: no snippets")
            << QList<Snippet>{} << QByteArray("{\n    \"version\": 1,\n    \"snippets\": []\n}\n");
    }
    void roundTrip() {
        QFETCH(QList<Snippet>, snippets);
        QFETCH(QByteArray, bytes);
        // The settings folder need not exist yet.
        const QString path = freshFolder() + QStringLiteral("/settings/snippets.json");
        SnippetStore store(path);
        store.setSnippets(snippets);
        QVERIFY2(store.save(), qPrintable(store.problem()));
        QCOMPARE(store.problem(), QString());
        QCOMPARE(fileBytes(path), bytes);

        SnippetStore again(path);
        QVERIFY2(again.load(), qPrintable(again.problem()));
        QCOMPARE(again.snippets(), snippets);
    }

    void missingFile() {
        const QString path = freshFolder() + QStringLiteral("/snippets.json");
        SnippetStore store(path);
        QVERIFY(store.load());
        QCOMPARE(store.problem(), QString());
        QCOMPARE(store.snippets(), SnippetStore::starterSet());
        QVERIFY(!QFile::exists(path));
    }

    void brokenFile_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("takenAside"); // .broken files already there
        QTest::addColumn<QString>("reason");
        QTest::newRow("robustness: a comma after the last entry")
            << QByteArray("{\"version\": 1, \"snippets\": [{\"name\": \"a\"},]}") << true << 0
            << "it is not valid JSON (object is missing after a comma, near line 1, column 44)";
        QTest::newRow("robustness: an error on a later line, after accents")
            << QByteArray("{\n  \"snippets\": [\n    {\"n\xC3\xA4me\": x}\n  ]\n}") << true << 0
            << "it is not valid JSON (illegal number, near line 3, column 14)";
        QTest::newRow("robustness: an empty file")
            << QByteArray() << true << 0
            << "it is not valid JSON (illegal value, near line 1, column 1)";
        QTest::newRow("robustness: a list at the top")
            << QByteArray("[]") << true << 0
            << "it does not hold an object with a \"snippets\" list";
        QTest::newRow("robustness: snippets not a list")
            << QByteArray("{\"snippets\": {}}") << true << 0
            << "it does not hold an object with a \"snippets\" list";
        QTest::newRow("robustness: a later version")
            << QByteArray("{\"version\": 2, \"snippets\": []}") << true << 0
            << "it was written for a later version of the program (version 2)";
        QTest::newRow("robustness: a version that is not a number")
            << QByteArray("{\"version\": \"1\", \"snippets\": []}") << true << 0
            << "its \"version\" is not 1";
        QTest::newRow("robustness: unreadable")
            << QByteArray("{}") << false << 0 << "it could not be read (Permission denied)";
        QTest::newRow("robustness: .broken and .broken-2 taken")
            << QByteArray("{") << true << 2
            << "it is not valid JSON (unterminated object, near line 1, column 2)";
    }
    void brokenFile() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, readable);
        QFETCH(int, takenAside);
        QFETCH(QString, reason);
        const QString folder = freshFolder();
        const QString path = folder + QStringLiteral("/snippets.json");
        writeBytes(path, contents);
        QStringList aside = {path + QStringLiteral(".broken")};
        for (int k = 2; k <= takenAside + 1; ++k)
            aside << path + QStringLiteral(".broken-%1").arg(k);
        for (int k = 0; k < takenAside; ++k)
            writeBytes(aside.at(k), "older");

        SnippetStore store(path);
        {
            std::unique_ptr<PermissionsEnforced> enforced;
            if (!readable) {
                QVERIFY(QFile::setPermissions(path, {}));
                enforced = std::make_unique<PermissionsEnforced>();
                QVERIFY(enforced->ready());
            }
            QVERIFY(!store.load());
        }
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY2(store.problem().contains(reason), qPrintable(store.problem()));
        QVERIFY2(store.problem().contains(path), qPrintable(store.problem()));
        QVERIFY2(store.problem().contains(aside.last()), qPrintable(store.problem()));
        QCOMPARE(store.snippets(), SnippetStore::starterSet());
        QCOMPARE(fileBytes(path), contents);

        // The save keeps the broken file aside, under the first free name, and says so.
        store.setSnippets({{"One", "one", "1"}});
        QVERIFY2(store.save(), qPrintable(store.problem()));
        QVERIFY2(store.problem().contains(aside.last()), qPrintable(store.problem()));
        QCOMPARE(fileBytes(aside.last()), contents);
        for (int k = 0; k < takenAside; ++k)
            QCOMPARE(fileBytes(aside.at(k)), QByteArray("older"));
        SnippetStore again(path);
        QVERIFY2(again.load(), qPrintable(again.problem()));
        QCOMPARE(again.snippets(), (QList<Snippet>{{"One", "one", "1"}}));
        // Saved again, the new file is replaced as any other.
        QVERIFY(again.save());
        QCOMPARE(again.problem(), QString());
        QVERIFY(!QFile::exists(path + QStringLiteral(".broken-%1").arg(takenAside + 2)));
    }

    // Bad entries are skipped, the rest is used, and the skipped ones are written back.
    void skippedEntries() {
        const QString path = freshFolder() + QStringLiteral("/snippets.json");
        writeBytes(path, "{\"version\": 1, \"snippets\": [\n"
                         "  {\"name\": \"A\", \"trigger\": \"a\", \"body\": \"<a>\"},\n"
                         "  42,\n"
                         "  {\"name\": \"B\", \"trigger\": \"b\"},\n"
                         "  {\"name\": \"C\", \"trigger\": \"c %2\", \"body\": \"\"},\n"
                         "  {\"name\": \"A again\", \"trigger\": \"a\", \"body\": \"x\"},\n"
                         "  {\"name\": \"E\", \"trigger\": \"\", \"body\": \"\"},\n"
                         "  {\"name\": \"F\", \"trigger\": \"f\", \"body\": \"<f>\", \"x\": 1}\n"
                         "]}\n");
        SnippetStore store(path);
        QVERIFY(!store.load());
        QCOMPARE(
            store.problem(),
            QStringLiteral("Some snippets in %1 were skipped, and stay in the file as they are "
                           "until they are mended:\n"
                           "- entry 2 is not a snippet (an object with a name, a trigger and "
                           "a body);\n"
                           "- entry 3 has no \"body\" text;\n"
                           "- the trigger \"c %2\" of entry 4 may hold only letters, digits, - "
                           "and _;\n"
                           "- entry 5 has the trigger \"a\" of entry 1;\n"
                           "- entry 6 has an empty trigger.")
                .arg(path));
        const QList<Snippet> kept = {{"A", "a", "<a>"}, {"F", "f", "<f>"}};
        QCOMPARE(store.snippets(), kept);

        const QList<Snippet> edited = kept + QList<Snippet>{{"G", "g", "<g>"}};
        store.setSnippets(edited);
        QVERIFY(store.save());
        QCOMPARE(store.problem(), QString());
        const QByteArray bytes = fileBytes(path);
        QVERIFY2(bytes.contains("            \"body\": \"<g>\"\n"
                                "        },\n"
                                "        42,\n"
                                "        {\"name\":\"B\",\"trigger\":\"b\"},\n"
                                "        {\"body\":\"\",\"name\":\"C\",\"trigger\":\"c %2\"},\n"
                                "        {\"body\":\"x\",\"name\":\"A again\",\"trigger\":\"a\"},\n"
                                "        {\"body\":\"\",\"name\":\"E\",\"trigger\":\"\"}\n"
                                "    ]\n"),
                 bytes.constData());
        SnippetStore again(path);
        QVERIFY(!again.load());
        QCOMPARE(again.snippets(), edited);
        QCOMPARE(again.problem().count(QStringLiteral("\n- ")), 5);
    }

    void readOnlyFolder_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("reason");
        QTest::newRow("robustness: a good file") << QByteArray("{\"version\": 1, \"snippets\": []}")
                                                 << "The snippets could not be saved to ";
        QTest::newRow("robustness: a broken file")
            << QByteArray("{\"version\": 1") << "could not be renamed to ";
    }
    void readOnlyFolder() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        ReadOnlyFolder folder(QStringLiteral("snippets.json"), contents);
        if (!folder.ready())
            QSKIP("no read-only folder can be made here (as root, that needs mount)");
        const QString path = folder.path(QStringLiteral("snippets.json"));
        SnippetStore store(path);
        store.load();
        store.setSnippets({{"One", "one", "1"}});
        QVERIFY(!store.save());
        QVERIFY2(store.problem().contains(reason), qPrintable(store.problem()));
        QVERIFY2(store.problem().contains(path), qPrintable(store.problem()));
        QCOMPARE(fileBytes(path), contents);
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"snippets.json"});
        QCOMPARE(store.snippets(), (QList<Snippet>{{"One", "one", "1"}}));
    }

    void byTrigger_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("name"); // empty: none
        QTest::newRow("nominal") << "table"
                                 << "Table";
        QTest::newRow("nominal: letters of any script") << QStringLiteral("tête-1") << "Head";
        QTest::newRow("robustness: case counts") << "Table"
                                                 << "";
        QTest::newRow("robustness: a prefix") << "tab"
                                              << "";
        QTest::newRow("robustness: longer") << "tables"
                                            << "";
        QTest::newRow("robustness: empty") << ""
                                           << "";
    }
    void byTrigger() {
        QFETCH(QString, word);
        QFETCH(QString, name);
        SnippetStore store(QString{});
        store.setSnippets(
            {{"Table", "table", "<table>"}, {"Head", QStringLiteral("tête-1"), "<head>"}});
        const Snippet *found = store.byTrigger(word);
        QCOMPARE(found ? found->name : QString(), name);
    }

    void starterSet() {
        const QList<Snippet> starters = SnippetStore::starterSet();
        QStringList triggers;
        for (const Snippet &snippet : starters) {
            QVERIFY(!snippet.name.isEmpty());
            QVERIFY2(isValidTrigger(snippet.trigger), qPrintable(snippet.trigger));
            QString error;
            const auto filled = fillSnippet(snippet.body, SnippetVariables{}, {}, &error);
            QVERIFY2(filled, qPrintable(snippet.trigger + u' ' + error));
            QVERIFY2(!snippet.body.contains(QRegularExpression(QStringLiteral("</?[A-Z]"))),
                     qPrintable(snippet.trigger));
            triggers << snippet.trigger;
        }
        QCOMPARE(triggers,
                 QStringList({"table", "form", "figure", "nav", "imgr", "viewport", "charset",
                              "css", "js", "com", "link", "dl", "picture", "details", "video"}));
    }
};

VELLUMO_TEST_MAIN(TestSnippetStore)
#include "tst_snippet_store.moc"
