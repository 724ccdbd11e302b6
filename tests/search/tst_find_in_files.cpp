// Find in Files over a generated folder tree: pages in several encodings, a
// binary file, a folder that cannot be read and symbolic-link loops; the panel
// that lists the results and asks for a match to be opened.

#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/title_dialog.h"
#include "files.h"
#include "permissions_enforced.h"
#include "scripted_platform.h"
#include "search/file_search.h"
#include "search/find_in_files_dialog.h"
#include "search/search_results.h"
#include "test_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <map>

using namespace vellumo;

namespace {

// The tree every test searches, made afresh for each.
class SiteTree {
public:
    SiteTree() {
        QDir root(m_dir.path());
        root.mkpath("sub/deeper");
        root.mkpath("locked");
        writeBytes(path("a.htm"), "<p class=x>h\xC3\xA9llo</p>\n<b>Class</b>\n");
        // Windows-1252 with CR LF: found on its line, shown decoded.
        writeBytes(path("latin.HTML"), "caf\xE9 \x80 class\r\nnext\r\n");
        writeBytes(path("pic.html"), QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR class", 23));
        writeBytes(path("style.css"), ".class { }");
        writeBytes(path("notes.txt"), "class, but not a page");
        writeBytes(path("sub/deeper/deep.js"), "x = 1;\nvar class_ = 'class';\n");
        writeBytes(path("locked/hidden.htm"), "class");
        QFile::setPermissions(path("locked"), QFileDevice::Permissions());
        // A link back to the top and a link to itself.
        QFile::link("../..", path("sub/deeper/up"));
        QFile::link("self", path("sub/self"));
    }
    ~SiteTree() {
        QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }
    QString path(const QString &name = {}) const {
        return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
    }

private:
    QTemporaryDir m_dir;
};

FileSearchRequest requestFor(const SiteTree &tree, const QString &pattern,
                             SearchOptions options = {}) {
    FileSearchRequest request;
    request.folder = tree.path();
    request.search = TextSearch(pattern, options);
    return request;
}

// Every file and its size, to show nothing was written.
std::map<QString, qint64> snapshot(const QString &folder) {
    std::map<QString, qint64> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        files[it.filePath()] = it.fileInfo().size();
    }
    return files;
}

} // namespace

class FindInFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchesTheTree();
    void wholeWordsAndRegularExpressions_data();
    void wholeWordsAndRegularExpressions();
    void panelStreamsResultsAndOpensAMatch();
    void openingAMatchAsksAboutUnsavedChanges();
    void dialogMakesTheRequest();
    void fileTheEngineGaveUpOnIsReportedNotSearched();
};

void FindInFilesTest::searchesTheTree() {
    SiteTree tree;
    const auto before = snapshot(tree.path());
    QList<FileResult> found;
    QStringList skipped;
    std::atomic_bool cancel = false;
    FileSearchTotals totals;
    {
        PermissionsEnforced permissions;
        QVERIFY(permissions.ready());
        totals = searchFiles(
            requestFor(tree, "class"), [&](FileResult r) { found.append(r); },
            [&](SkippedEntry e) {
                skipped << QDir(tree.path()).relativeFilePath(e.path) + ": " + e.reason;
            },
            cancel);
    }
    QStringList files;
    for (const FileResult &r : found)
        files << QDir(tree.path()).relativeFilePath(r.path) + QString(" %1").arg(r.matchCount);
    // The files of a folder first, then its sub-folders; the loop is not followed.
    QCOMPARE(files,
             QStringList({"a.htm 2", "latin.HTML 1", "style.css 1", "sub/deeper/deep.js 2"}));
    QCOMPARE(skipped, QStringList({"locked: Permission denied",
                                   "sub/self: Too many levels of symbolic links"}));
    QCOMPARE(totals.filesSearched, 5);
    QCOMPARE(totals.binaryFilesSkipped, 1);
    QCOMPARE(totals.matches, 6);
    QCOMPARE(totals.unreadable, 2);
    QVERIFY(!totals.stopped);

    const FileMatch &latin = found[1].matches[0];
    QCOMPARE(latin.line, 1);
    QCOMPARE(latin.lineText, QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC class"));
    QCOMPARE(latin.markStart, 7);
    QCOMPARE(latin.markLength, 5);
    QCOMPARE(latin.start, 7);
    const FileMatch &second = found[0].matches[1];
    QCOMPARE(second.line, 2);
    QCOMPARE(second.lineText, "<b>Class</b>");
    QCOMPARE(second.start, 24); // the page as the editor holds it
    QCOMPARE(found[3].matches[1].start, 21);
    QCOMPARE(found[3].matches[1].line, 2);
    QCOMPARE(snapshot(tree.path()), before);
}

void FindInFilesTest::wholeWordsAndRegularExpressions_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<SearchOptions>("options");
    QTest::addColumn<QString>("filePatterns");
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<int>("matches");
    QTest::addColumn<int>("files");
    QTest::newRow("whole words") << "class" << SearchOptions(SearchOption::WholeWords)
                                 << "*.htm;*.html;*.css;*.js" << true << 5 << 4;
    QTest::newRow("match case") << "Class" << SearchOptions(SearchOption::MatchCase)
                                << "*.htm;*.html;*.css;*.js" << true << 1 << 1;
    QTest::newRow("regular expression over a line break")
        << "class\\nnext" << SearchOptions(SearchOption::RegularExpression)
        << "*.htm;*.html;*.css;*.js" << true << 1 << 1;
    QTest::newRow("no sub-folders")
        << "class" << SearchOptions() << "*.htm;*.html;*.css;*.js" << false << 4 << 3;
    QTest::newRow("other file patterns")
        << "class" << SearchOptions() << " *.txt ; *.js" << true << 3 << 2;
}

void FindInFilesTest::wholeWordsAndRegularExpressions() {
    QFETCH(QString, pattern);
    QFETCH(SearchOptions, options);
    SiteTree tree;
    FileSearchRequest request = requestFor(tree, pattern, options);
    QFETCH(QString, filePatterns);
    request.filePatterns = filePatterns;
    QFETCH(bool, subfolders);
    request.subfolders = subfolders;
    std::atomic_bool cancel = false;
    const PermissionsEnforced permissions;
    const FileSearchTotals totals = searchFiles(
        request, [](FileResult) {}, [](SkippedEntry) {}, cancel);
    QTEST(int(totals.matches), "matches");
    QTEST(totals.filesMatched, "files");
}

void FindInFilesTest::panelStreamsResultsAndOpensAMatch() {
    SiteTree tree;
    SearchResults panel;
    panel.resize(600, 300);
    panel.show();
    QSignalSpy finished(&panel, &SearchResults::finished);
    QSignalSpy open(&panel, &SearchResults::openRequested);
    {
        // The worker thread starts with the permissions in force.
        PermissionsEnforced permissions;
        panel.start(requestFor(tree, "class"));
    }
    QVERIFY(finished.wait());
    QCOMPARE(panel.progressText(),
             "6 matches in 4 of 5 files; 1 binary file skipped; 2 not readable");
    auto *list = panel.findChild<QTreeWidget *>("SearchResultsList");
    QVERIFY(list);
    QStringList groups;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        groups << list->topLevelItem(i)->text(0);
    QCOMPARE(groups, QStringList({"a.htm (2)", "latin.HTML (1)", "style.css (1)",
                                  QDir::toNativeSeparators("sub/deeper/deep.js") + " (2)",
                                  "Not searched (2)"}));
    QTreeWidgetItem *match = list->topLevelItem(0)->child(1);
    QCOMPARE(match->text(0), "2: <b>Class</b>");
    list->setCurrentItem(match);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(open.size(), 1);
    QCOMPARE(open[0][0].toString(), QDir::toNativeSeparators(tree.path("a.htm")));
    QCOMPARE(open[0][1].toInt(), 24);
    QCOMPARE(open[0][2].toInt(), 5);
    // A group heading opens nothing.
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(open.size(), 1);
}

void FindInFilesTest::openingAMatchAsksAboutUnsavedChanges() {
    SiteTree tree;
    QWidget window;
    PageEditor editor(&window);
    InsertionCore core(&editor);
    ScriptedPlatform platform;
    TForm2 title(&window);
    DocumentController document(core, platform, title, &window);
    QVERIFY(document.openFile(tree.path("a.htm")));
    // A match in the page already open is selected, nothing asked.
    showFileMatch(document, core, tree.path("a.htm"), 24, 5);
    QCOMPARE(core.page().selectedText(), "Class");
    QVERIFY(platform.shown.isEmpty());

    core.InsertAtCaret("CLASS");
    platform.queueAnswer(QMessageBox::No);
    showFileMatch(document, core, tree.path("style.css"), 1, 5);
    QCOMPARE(platform.texts("ask"), QStringList({"Are you sure you want to discard the changes?"}));
    QCOMPARE(document.CurrentFileName, QDir::toNativeSeparators(tree.path("a.htm")));
    QVERIFY(core.page().isModified());

    platform.queueAnswer(QMessageBox::Yes);
    showFileMatch(document, core, tree.path("style.css"), 1, 5);
    QCOMPARE(document.CurrentFileName, QDir::toNativeSeparators(tree.path("style.css")));
    QCOMPARE(core.page().selectionStart(), 1);
    QCOMPARE(core.page().selectedText(), "class");
    QVERIFY(platform.answersUsed());
}

void FindInFilesTest::dialogMakesTheRequest() {
    ScriptedPlatform platform;
    platform.writeSetting("FindHistory", QStringList({"older"}));
    FindInFilesDialog dialog(platform);
    dialog.prepare("/site", "chosen");
    auto *text = dialog.findChild<QComboBox *>("FindInFilesText");
    QCOMPARE(text->currentText(), "chosen");
    QCOMPARE(text->itemText(0), "older");
    dialog.findChild<QCheckBox *>("WholeWords")->setChecked(true);
    dialog.findChild<QCheckBox *>("FindInFilesSubfolders")->setChecked(false);
    const FileSearchRequest request = dialog.request();
    QCOMPARE(request.folder, "/site");
    QCOMPARE(request.filePatterns, "*.htm;*.html;*.css;*.js");
    QVERIFY(!request.subfolders);
    QCOMPARE(request.search.pattern(), "chosen");
    QCOMPARE(request.search.options(), SearchOptions(SearchOption::WholeWords));
    dialog.rememberText();
    QCOMPARE(platform.readSetting("FindHistory").toStringList(), QStringList({"chosen", "older"}));
}

// A file on which the expression engine gives up is listed as not searched, with why,
// instead of as a file without matches.
void FindInFilesTest::fileTheEngineGaveUpOnIsReportedNotSearched() {
    QTemporaryDir folder;
    writeBytes(folder.filePath(QStringLiteral("hard.htm")),
               QByteArray(30000, 'a') + "\n<p>aabc</p>\n");
    writeBytes(folder.filePath(QStringLiteral("easy.htm")), "<p>aabc</p>\n");
    FileSearchRequest request;
    request.folder = folder.path();
    request.search = TextSearch(QStringLiteral("(a|a)*bc"), SearchOption::RegularExpression);
    QStringList found;
    QStringList skipped;
    std::atomic_bool cancel = false;
    const FileSearchTotals totals = searchFiles(
        request, [&found](const FileResult &r) { found << QFileInfo(r.path).fileName(); },
        [&skipped](const SkippedEntry &e) {
            skipped << QFileInfo(e.path).fileName() + ": " + e.reason;
        },
        cancel);
    QCOMPARE(found, QStringList{"easy.htm"});
    QCOMPARE(skipped, QStringList{"hard.htm: " + tooComplexMessage()});
    QCOMPARE(totals.filesSearched, 1);
    QCOMPARE(totals.unreadable, 1);
}

VELLUMO_TEST_MAIN(FindInFilesTest)
#include "tst_find_in_files.moc"
