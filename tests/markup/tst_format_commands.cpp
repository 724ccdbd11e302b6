#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "markup/format_commands.h"
#include "test_main.h"
#include "whole_page.h"

#include <QLineEdit>
#include <QVBoxLayout>

using namespace vellumo;

Q_DECLARE_METATYPE(vellumo::Format)

namespace {

struct Expected {
    Format format;
    const char *name;
    bool wrap;
    const char *upperOpen, *upperClose, *lowerOpen, *lowerClose;
};

// What every command writes, written out here rather than taken from the program's table.
const Expected Commands[] = {
    {Format::Bold, "Bold", true, "<B>", "</B>", "<b>", "</b>"},
    {Format::Italic, "Italic", true, "<I>", "</I>", "<i>", "</i>"},
    {Format::Underline, "Underline", true, "<U>", "</U>", "<u>", "</u>"},
    {Format::Strong, "Strong", true, "<STRONG>", "</STRONG>", "<strong>", "</strong>"},
    {Format::Center, "Center", true, "<CENTER>", "</CENTER>", "<center>", "</center>"},
    {Format::LeftJustify, "LeftJustify", true, "<P ALIGN=\"LEFT\">", "</P>", "<p align=\"left\">",
     "</p>"},
    {Format::RightJustify, "RightJustify", true, "<P ALIGN=\"RIGHT\">", "</P>",
     "<p align=\"right\">", "</p>"},
    {Format::Heading1, "Heading1", true, "<H1>", "</H1>", "<h1>", "</h1>"},
    {Format::Heading2, "Heading2", true, "<H2>", "</H2>", "<h2>", "</h2>"},
    {Format::Heading3, "Heading3", true, "<H3>", "</H3>", "<h3>", "</h3>"},
    {Format::Heading4, "Heading4", true, "<H4>", "</H4>", "<h4>", "</h4>"},
    {Format::Heading5, "Heading5", true, "<H5>", "</H5>", "<h5>", "</h5>"},
    {Format::Heading6, "Heading6", true, "<H6>", "</H6>", "<h6>", "</h6>"},
    {Format::Bigger, "Bigger", true, "<BIG>", "</BIG>", "<big>", "</big>"},
    {Format::Smaller, "Smaller", true, "<SMALL>", "</SMALL>", "<small>", "</small>"},
    {Format::FontSizeUp, "FontSizeUp", true, "<FONT SIZE=\"+1\">", "</FONT>", "<font size=\"+1\">",
     "</font>"},
    {Format::FontSizeDown, "FontSizeDown", true, "<FONT SIZE=\"-1\">", "</FONT>",
     "<font size=\"-1\">", "</font>"},
    {Format::Paragraph, "Paragraph", false, "<P>", "", "<p>", ""},
    {Format::LineBreak, "LineBreak", false, "<BR>", "", "<br>", ""},
    {Format::NonBreakingSpace, "NonBreakingSpace", false, "&nbsp;", "", "&nbsp;", ""},
    {Format::Comment, "Comment", true, "<!-- ", " -->", "<!-- ", " -->"},
};

// The editor and a field that can hold the focus instead of it.
struct Window {
    QWidget root;
    PageEditor *editor = new PageEditor(&root);
    QLineEdit *elsewhere = new QLineEdit(&root);
    InsertionCore core{editor};

    Window() {
        editor->setObjectName(QStringLiteral("RichEdit1"));
        auto *layout = new QVBoxLayout(&root);
        layout->addWidget(elsewhere);
        layout->addWidget(editor);
    }

    void show() {
        root.show();
        root.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&root));
    }

    Page &page() { return core.page(); }
    QString text() { return pageText(core.page()); }

    void prepare(const QString &text, int anchor, int position) {
        setPageText(page(), text);
        page().select(anchor, position);
        elsewhere->setFocus();
    }
};

} // namespace

class TestFormatCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCommandIsListed() {
        QCOMPARE(markupCommands().size(), std::size(Commands));
        for (const Expected &expected : Commands)
            QCOMPARE(markupCommand(expected.format).format, expected.format);
    }

    void command_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");

        // The page "x word y"; "word" is either selected or the caret stands before it.
        for (const Expected &e : Commands) {
            for (const bool upper : {true, false}) {
                const QString open = QString::fromLatin1(upper ? e.upperOpen : e.lowerOpen);
                const QString close = QString::fromLatin1(upper ? e.upperClose : e.lowerClose);
                const TagCase tagCase = upper ? TagCase::Upper : TagCase::Lower;
                const QByteArray name = QByteArray(e.name) + (upper ? " upper" : " lower");
                QTest::addRow("nominal: %s, nothing selected", name.constData())
                    << e.format << tagCase << false << "x " + open + close + "word y"
                    << int(2 + open.size());
                if (e.wrap) {
                    QTest::addRow("nominal: %s, word wrapped", name.constData())
                        << e.format << tagCase << true << "x " + open + "word" + close + " y"
                        << int(2 + open.size() + 4);
                } else {
                    QTest::addRow("nominal: %s, word replaced", name.constData())
                        << e.format << tagCase << true << "x " + open + " y"
                        << int(2 + open.size());
                }
            }
        }
        // Only the upper case writes upper-case tags; anything else writes lower case.
        const auto otherTagCase = static_cast<TagCase>(2);
        QTest::newRow("robustness: a tag case other than upper gives lower case, wrapping")
            << Format::Bold << otherTagCase << true << "x <b>word</b> y" << 9;
        QTest::newRow("robustness: a tag case other than upper gives lower case, inserting")
            << Format::LeftJustify << otherTagCase << false << "x <p align=\"left\"></p>word y"
            << 18;
    }
    void command() {
        QFETCH(Format, format);
        QFETCH(TagCase, tagCase);
        QFETCH(bool, selected);
        Window window;
        window.show();
        window.core.setTagCase(tagCase);
        const QString page = QStringLiteral("x word y");
        window.prepare(page, 2, selected ? 6 : 2);

        runMarkupCommand(window.core, markupCommand(format));

        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(window.text(), expected);
        QCOMPARE(window.page().caret(), caret);
        QVERIFY(!window.page().hasSelection());
        QVERIFY(window.page().isModified());
        QTRY_VERIFY(window.editor->hasFocus());
        // One undo takes the whole command back, selection and all.
        window.editor->undo();
        QCOMPARE(window.text(), page);
        QVERIFY(window.page().isUndoAvailable() == false);
    }

    void commentAtEndOfPage() {
        Window window;
        window.prepare(QStringLiteral("a note"), 2, 6);
        runMarkupCommand(window.core, markupCommand(Format::Comment));
        QCOMPARE(window.text(), QStringLiteral("a <!-- note -->"));
        QCOMPARE(window.page().caret(), 11);
    }

    void multiLineSelectionGetsNoLineBreaks() {
        Window window;
        window.core.setTagCase(UpperTagCase);
        window.prepare(QStringLiteral("one\ntwo"), 0, 7);
        runMarkupCommand(window.core, markupCommand(Format::Heading2));
        QCOMPARE(window.text(), QStringLiteral("<H2>one\ntwo</H2>"));
        QCOMPARE(window.page().caret(), 11);
    }

    void caseSwitchAffectsOnlyLaterCommands() {
        Window window;
        window.core.setTagCase(UpperTagCase);
        window.prepare(QString(), 0, 0);
        const MarkupCommand &bold = markupCommand(Format::Bold);
        runMarkupCommand(window.core, bold);
        window.core.setTagCase(LowerTagCase);
        runMarkupCommand(window.core, bold);
        QCOMPARE(window.text(), QStringLiteral("<B><b></b></B>"));
    }
};

VELLUMO_TEST_MAIN(TestFormatCommands)
#include "tst_format_commands.moc"
