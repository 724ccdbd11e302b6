#include "editor/insertion_core.h"
#include "markup/format_commands.h"
#include "test_main.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace vellumo;

namespace {

struct Expected {
    const char *handler;
    bool wrap;
    const char *upperOpen, *upperClose, *lowerOpen, *lowerClose;
};

// What every command writes, written out here rather than taken from the program's table.
const Expected Commands[] = {
    {"ToolbarButton9711Click", true, "<B>", "</B>", "<b>", "</b>"},
    {"ToolbarButton9713Click", true, "<I>", "</I>", "<i>", "</i>"},
    {"ToolbarButton9712Click", true, "<U>", "</U>", "<u>", "</u>"},
    {"ToolbarButton9725Click", true, "<STRONG>", "</STRONG>", "<strong>", "</strong>"},
    {"ToolbarButton9714Click", true, "<CENTER>", "</CENTER>", "<center>", "</center>"},
    {"ToolbarButton9726Click", true, "<P ALIGN=\"LEFT\">", "</P>", "<p align=\"left\">", "</p>"},
    {"ToolbarButton9718Click", true, "<P ALIGN=\"RIGHT\">", "</P>", "<p align=\"right\">", "</p>"},
    {"ToolbarButton9719Click", true, "<H1>", "</H1>", "<h1>", "</h1>"},
    {"ToolbarButton9720Click", true, "<H2>", "</H2>", "<h2>", "</h2>"},
    {"ToolbarButton9721Click", true, "<H3>", "</H3>", "<h3>", "</h3>"},
    {"ToolbarButton9722Click", true, "<H4>", "</H4>", "<h4>", "</h4>"},
    {"ToolbarButton9723Click", true, "<H5>", "</H5>", "<h5>", "</h5>"},
    {"ToolbarButton9724Click", true, "<H6>", "</H6>", "<h6>", "</h6>"},
    {"ToolbarButton9727Click", true, "<BIG>", "</BIG>", "<big>", "</big>"},
    {"ToolbarButton9728Click", true, "<SMALL>", "</SMALL>", "<small>", "</small>"},
    {"ToolbarButton97129Click", true, "<FONT SIZE=\"+1\">", "</FONT>", "<font size=\"+1\">",
     "</font>"},
    {"ToolbarButton97128Click", true, "<FONT SIZE=\"-1\">", "</FONT>", "<font size=\"-1\">",
     "</font>"},
    {"ToolbarButton9715Click", false, "<P>", "", "<p>", ""},
    {"ToolbarButton9716Click", false, "<BR>", "", "<br>", ""},
    {"ToolbarButton9717Click", false, "&nbsp;", "", "&nbsp;", ""},
    {"ToolbarButton97143Click", true, "<!-- ", " -->", "<!-- ", " -->"},
};

// Every bound control and the text it gives on an empty page in upper case.
const struct {
    const char *control;
    const char *upperResult;
} Controls[] = {
    {"ToolbarButton9711", "<B></B>"},
    {"ToolbarButton97114", "<B></B>"},
    {"Bold1", "<B></B>"},
    {"Bold2", "<B></B>"},
    {"ToolbarButton9713", "<I></I>"},
    {"ToolbarButton97115", "<I></I>"},
    {"Italic1", "<I></I>"},
    {"Italic2", "<I></I>"},
    {"ToolbarButton9712", "<U></U>"},
    {"ToolbarButton97116", "<U></U>"},
    {"Underlined1", "<U></U>"},
    {"Underlined2", "<U></U>"},
    {"ToolbarButton9725", "<STRONG></STRONG>"},
    {"ToolbarButton97122", "<STRONG></STRONG>"},
    {"Strong1", "<STRONG></STRONG>"},
    {"ToolbarButton9714", "<CENTER></CENTER>"},
    {"ToolbarButton97118", "<CENTER></CENTER>"},
    {"Center1", "<CENTER></CENTER>"},
    {"Center2", "<CENTER></CENTER>"},
    {"ToolbarButton9726", "<P ALIGN=\"LEFT\"></P>"},
    {"ToolbarButton97117", "<P ALIGN=\"LEFT\"></P>"},
    {"LeftJustify1", "<P ALIGN=\"LEFT\"></P>"},
    {"LeftJustify2", "<P ALIGN=\"LEFT\"></P>"},
    {"ToolbarButton9718", "<P ALIGN=\"RIGHT\"></P>"},
    {"ToolbarButton97119", "<P ALIGN=\"RIGHT\"></P>"},
    {"RightJustify1", "<P ALIGN=\"RIGHT\"></P>"},
    {"RightJustify2", "<P ALIGN=\"RIGHT\"></P>"},
    {"ToolbarButton9719", "<H1></H1>"},
    {"ToolbarButton9724", "<H6></H6>"},
    {"ToolbarButton9727", "<BIG></BIG>"},
    {"IncreaseTextSize1", "<BIG></BIG>"},
    {"ToolbarButton9728", "<SMALL></SMALL>"},
    {"DecreaseTextSize1", "<SMALL></SMALL>"},
    {"ToolbarButton97129", "<FONT SIZE=\"+1\"></FONT>"},
    {"ToolbarButton97128", "<FONT SIZE=\"-1\"></FONT>"},
    {"ToolbarButton9715", "<P>"},
    {"Paragraph2", "<P>"},
    {"Paragraph1", "<P>"},
    {"ToolbarButton9716", "<BR>"},
    {"ToolbarButton97120", "<BR>"},
    {"LineBreak1", "<BR>"},
    {"ToolbarButton9717", "&nbsp;"},
    {"ToolbarButton97121", "&nbsp;"},
    {"ToolbarButton97143", "<!--  -->"},
    {"ToolbarButton97144", "<!--  -->"},
};

QStringList names(std::initializer_list<const char *> list) {
    QStringList result;
    for (const char *name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

// A window shaped like the main one where it matters here: toolbars made of named actions
// (and their toolbar buttons named alike), menus of named actions, a "Fonts" page of plain
// buttons, the editor and a field that can hold the focus instead of it.
struct Window {
    QWidget root;
    QPlainTextEdit *editor = new QPlainTextEdit(&root);
    QLineEdit *elsewhere = new QLineEdit(&root);
    QWidget *fontsPage = new QWidget(&root);
    InsertionCore core{editor};

    explicit Window(bool withComment = true) {
        editor->setObjectName(QStringLiteral("RichEdit1"));
        auto *layout = new QVBoxLayout(&root);
        auto *toolbar = new QToolBar(&root);
        for (const QString &name :
             names({"ToolbarButton9711", "ToolbarButton9713", "ToolbarButton9712",
                    "ToolbarButton9726", "ToolbarButton9714", "ToolbarButton9718",
                    "ToolbarButton9715", "ToolbarButton9716", "ToolbarButton9717",
                    "ToolbarButton9719", "ToolbarButton9720", "ToolbarButton9721",
                    "ToolbarButton9722", "ToolbarButton9723", "ToolbarButton9724",
                    "ToolbarButton9725", "ToolbarButton97144"})) {
            QAction *action = toolbar->addAction(name);
            action->setObjectName(name);
            toolbar->widgetForAction(action)->setObjectName(name);
        }
        auto *tagsMenu = new QMenu(&root);
        for (const QString &name :
             names({"Bold1", "Italic1", "Underlined1", "DecreaseTextSize1", "IncreaseTextSize1",
                    "Center1", "LeftJustify1", "RightJustify1", "Paragraph2", "Strong1", "Bold2",
                    "Italic2", "Underlined2", "Center2", "LeftJustify2", "RightJustify2",
                    "LineBreak1", "Paragraph1"}))
            tagsMenu->addAction(name)->setObjectName(name);
        populateFontsPage(fontsPage);
        if (withComment) {
            makeFlatButton(&root, QStringLiteral("ToolbarButton97143"),
                           QStringLiteral("Insert Comment"), formattingButtonFace({}));
        }
        layout->addWidget(toolbar);
        layout->addWidget(fontsPage);
        layout->addWidget(elsewhere);
        layout->addWidget(editor);
    }

    void show() {
        root.show();
        root.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&root));
    }

    void prepare(const QString &text, int anchor, int position) {
        editor->setPlainText(text);
        QTextCursor cursor(editor->document());
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        editor->document()->setModified(false);
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
            QVERIFY2(findMarkupCommand(QString::fromLatin1(expected.handler)), expected.handler);
    }

    void command_data() {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");

        // The page "x word y"; "word" is either selected or the caret stands before it.
        for (const Expected &e : Commands) {
            for (const bool upper : {true, false}) {
                const QString open = QString::fromLatin1(upper ? e.upperOpen : e.lowerOpen);
                const QString close = QString::fromLatin1(upper ? e.upperClose : e.lowerClose);
                const QString caseName = upper ? UpperTagCase : LowerTagCase;
                const QByteArray name = QByteArray(e.handler) + ' ' + caseName.toLatin1();
                QTest::addRow("nominal: %s, nothing selected", name.constData())
                    << e.handler << caseName << false << "x " + open + close + "word y"
                    << int(2 + open.size());
                if (e.wrap) {
                    QTest::addRow("nominal: %s, word wrapped", name.constData())
                        << e.handler << caseName << true << "x " + open + "word" + close + " y"
                        << int(2 + open.size() + 4);
                } else {
                    QTest::addRow("nominal: %s, word replaced", name.constData())
                        << e.handler << caseName << true << "x " + open + " y"
                        << int(2 + open.size());
                }
            }
        }
        QTest::newRow("robustness: tag case in small letters gives lower case")
            << "ToolbarButton9711Click"
            << "upercase" << true << "x <b>word</b> y" << 9;
        QTest::newRow("robustness: empty tag case gives lower case")
            << "ToolbarButton9726Click"
            << "" << false << "x <p align=\"left\"></p>word y" << 18;
    }
    void command() {
        QFETCH(QString, handler);
        QFETCH(QString, tagCase);
        QFETCH(bool, selected);
        Window window;
        window.show();
        window.core.setTagCase(tagCase);
        const QString page = QStringLiteral("x word y");
        window.prepare(page, 2, selected ? 6 : 2);

        runMarkupCommand(window.core, *findMarkupCommand(handler));

        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(window.editor->toPlainText(), expected);
        QCOMPARE(window.editor->textCursor().position(), caret);
        QVERIFY(!window.editor->textCursor().hasSelection());
        QVERIFY(window.editor->document()->isModified());
        QTRY_VERIFY(window.editor->hasFocus());
        // One undo takes the whole command back, selection and all.
        window.editor->undo();
        QCOMPARE(window.editor->toPlainText(), page);
        QVERIFY(window.editor->document()->isUndoAvailable() == false);
    }

    void commentAtEndOfPage() {
        Window window;
        window.prepare(QStringLiteral("a note"), 2, 6);
        runMarkupCommand(window.core,
                         *findMarkupCommand(QStringLiteral("ToolbarButton97143Click")));
        QCOMPARE(window.editor->toPlainText(), QStringLiteral("a <!-- note -->"));
        QCOMPARE(window.editor->textCursor().position(), 11);
    }

    void multiLineSelectionGetsNoLineBreaks() {
        Window window;
        window.core.setTagCase(UpperTagCase);
        window.prepare(QStringLiteral("one\ntwo"), 0, 7);
        runMarkupCommand(window.core, *findMarkupCommand(QStringLiteral("ToolbarButton9720Click")));
        QCOMPARE(window.editor->toPlainText(), QStringLiteral("<H2>one\ntwo</H2>"));
        QCOMPARE(window.editor->textCursor().position(), 11);
    }

    void caseSwitchAffectsOnlyLaterCommands() {
        Window window;
        window.core.setTagCase(UpperTagCase);
        window.prepare(QString(), 0, 0);
        const MarkupCommand &bold = *findMarkupCommand(QStringLiteral("ToolbarButton9711Click"));
        runMarkupCommand(window.core, bold);
        window.core.setTagCase(LowerTagCase);
        runMarkupCommand(window.core, bold);
        QCOMPARE(window.editor->toPlainText(), QStringLiteral("<B><b></b></B>"));
    }

    void everyControlIsBoundOnce_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        for (const auto &row : Controls)
            QTest::addRow("nominal: %s", row.control) << row.control << row.upperResult;
    }
    void everyControlIsBoundOnce() {
        QFETCH(QString, control);
        Window window;
        window.show();
        QCOMPARE(bindMarkupCommands(&window.root, window.core), QStringList());
        window.core.setTagCase(UpperTagCase);
        window.prepare(QString(), 0, 0);

        // A toolbar button made for an action is clicked like the user would; the action
        // must run the command exactly once.
        auto *button = window.root.findChild<QAbstractButton *>(control);
        if (button) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            auto *action = window.root.findChild<QAction *>(control);
            QVERIFY(action);
            action->trigger();
        }

        QFETCH(QString, expected);
        QCOMPARE(window.editor->toPlainText(), expected);
        QTRY_VERIFY(window.editor->hasFocus());
    }

    void missingControlIsReported() {
        Window window(false);
        const QStringList missing = bindMarkupCommands(&window.root, window.core);
        QCOMPARE(missing, QStringList{QStringLiteral("ToolbarButton97143")});
    }

    void fontsPageButtons() {
        const struct {
            const char *name;
            const char *toolTip;
            const char *caption;
        } expected[] = {
            {"ToolbarButton9727", "Increase Text Size", ""},
            {"ToolbarButton9728", "Decrease Text Size", ""},
            {"ToolbarButton97114", "Bold", ""},
            {"ToolbarButton97115", "Italic", ""},
            {"ToolbarButton97116", "Underlined", ""},
            {"ToolbarButton97117", "Left Justify", ""},
            {"ToolbarButton97118", "Center", ""},
            {"ToolbarButton97119", "Right Justify", ""},
            {"ToolbarButton97120", "Break", "BR"},
            {"ToolbarButton97121", "Non-breaking space", "NB"},
            {"ToolbarButton97122", "Strong", "S"},
            {"ToolbarButton97129", "Increase Text Size", "F+"},
            {"ToolbarButton97128", "Decrease Text Size - 1", "F-"},
        };
        QWidget page;
        populateFontsPage(&page);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QList<QToolButton *> buttons = page.findChildren<QToolButton *>();
        QCOMPARE(buttons.size(), std::size(expected));
        int index = 0;
        for (const auto &row : expected) {
            auto *button = page.findChild<QToolButton *>(QString::fromLatin1(row.name));
            QVERIFY2(button, row.name);
            QCOMPARE(button->toolTip(), QString::fromLatin1(row.toolTip));
            QCOMPARE(button->text(), QString::fromLatin1(row.caption));
            QCOMPARE(button->icon().isNull(), *row.caption != '\0');
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            // Eight in the first row, five in the second, in this order.
            auto *first = page.findChild<QToolButton *>(QString::fromLatin1(expected[0].name));
            QCOMPARE(button->y() > first->y(), index >= 8);
            if (index % 8 != 0) {
                auto *left =
                    page.findChild<QToolButton *>(QString::fromLatin1(expected[index - 1].name));
                QVERIFY(button->x() > left->x());
                QCOMPARE(button->y(), left->y());
            }
            ++index;
        }
    }
};

VELLUMO_TEST_MAIN(TestFormatCommands)
#include "tst_format_commands.moc"
