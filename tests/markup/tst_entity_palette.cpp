#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "markup/entity_palette.h"
#include "test_main.h"
#include "whole_page.h"

#include <QFrame>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace vellumo;

namespace {

// The palette in order, written out here so that a slip in the program's table shows.
const struct {
    const char *name;
    const char *toolTip;
    const char *entity;
} Palette[] = {
    {"ToolbarButton9734", "Copyright", "&copy;"},
    {"ToolbarButton9733", "Registered trademark", "&reg;"},
    {"ToolbarButton9737", "Trademark", "&trade;"},
    {"ToolbarButton9738", "Superscript 1", "&#185;"},
    {"ToolbarButton9740", "Superscript 2", "&#178;"},
    {"ToolbarButton9744", "Superscript 3", "&#179;"},
    {"ToolbarButton9758", "Left angle quote", "&#171;"},
    {"ToolbarButton9756", "Right angle quote", "&#187;"},
    {"ToolbarButton9731", "Ampersand", "&amp;"},
    {"ToolbarButton9743", "Paragraph", "&#182;"},
    {"ToolbarButton9739", "Em dash", "&mdash;"},
    {"ToolbarButton9754", "One half", "&#189;"},
    {"ToolbarButton9755", "One fourth", "&#188;"},
    {"ToolbarButton9753", "Three fourths", "&#190;"},
    {"ToolbarButton9729", "Less than", "&lt;"},
    {"ToolbarButton9730", "Greater than", "&gt;"},
    {"ToolbarButton9735", "Soft hypen", "&shy;"},
    {"ToolbarButton9736", "Non-breaking space", "&nbsp;"},
    {"ToolbarButton9741", "En dash", "&ndash;"},
    {"ToolbarButton9742", "Em space", "&emsp;"},
    {"ToolbarButton9732", "Quote", "&quot;"},
    {"ToolbarButton9757", "Middle dot", "&#183;"},
    {"ToolbarButton9745", "En space", "&ensp;"},
    {"ToolbarButton9752", "a acute accent", "&aacute;"},
    {"ToolbarButton9751", "a cirumflex", "&acirc;"},
    {"ToolbarButton9750", "ae ligature", "&aelig;"},
    {"ToolbarButton9749", "a grave accent", "&agrave;"},
    {"ToolbarButton9748", "a ring", "&aring;"},
    {"ToolbarButton9747", "a tilde", "&atilde;"},
    {"ToolbarButton9746", "a umlaut", "&auml;"},
    {"ToolbarButton9759", "c cedilla", "&ccedil;"},
    {"ToolbarButton9765", "e acute accent", "&eacute;"},
    {"ToolbarButton9764", "e circumflex", "&ecirc;"},
    {"ToolbarButton9763", "e grave accent", "&egrave;"},
    {"ToolbarButton9762", "eth", "&eth;"},
    {"ToolbarButton9760", "e umlaut", "&euml;"},
    {"ToolbarButton9761", "i acute accent", "&iacute;"},
    {"ToolbarButton9775", "i cirumflex", "&icirc;"},
    {"ToolbarButton9773", "i grave accent", "&igrave;"},
    {"ToolbarButton9767", "i umlaut", "&iuml;"},
    {"ToolbarButton9772", "n tilde", "&ntilde;"},
    {"ToolbarButton9774", "o acute accent", "&oacute;"},
    {"ToolbarButton9770", "o circumflex", "&ocirc;"},
    {"ToolbarButton9771", "o grave accent", "&ograve;"},
    {"ToolbarButton9769", "o slash", "&oslash;"},
    {"ToolbarButton9768", "o tilde", "&otilde;"},
    {"ToolbarButton9766", "o umlaut", "&ouml;"},
    {"ToolbarButton9789", "Sz ligature", "&szlig;"},
    {"ToolbarButton9788", "Thorn", "&thorn;"},
    {"ToolbarButton9787", "u acute accent", "&uacute;"},
    {"ToolbarButton9786", "u circumflex", "&ucirc;"},
    {"ToolbarButton9785", "u grave accent", "&ugrave;"},
    {"ToolbarButton9784", "u umlaut", "&uuml;"},
    {"ToolbarButton9783", "y acute accent", "&yacute;"},
    {"ToolbarButton9782", "y umlaut", "&yuml;"},
    {"ToolbarButton9781", "A acute accent", "&Aacute;"},
    {"ToolbarButton9780", "A circumflex", "&Acirc;"},
    {"ToolbarButton9779", "AE ligature", "&AElig;"},
    {"ToolbarButton9778", "A grave accent", "&Agrave;"},
    {"ToolbarButton9777", "A ring", "&Aring;"},
    {"ToolbarButton9776", "A tilde", "&Atilde;"},
    {"ToolbarButton9798", "A umlaut", "&Auml;"},
    {"ToolbarButton9797", "C cedilla", "&Ccedil;"},
    {"ToolbarButton9790", "E acute accent", "&Eacute;"},
    {"ToolbarButton97106", "E curcumflex", "&Ecirc;"},
    {"ToolbarButton9796", "E grave accent", "&Egrave;"},
    {"ToolbarButton9795", "E umlaut", "&Euml;"},
    {"ToolbarButton9794", "I acute accent", "&Iacute;"},
    {"ToolbarButton9793", "I circumflex", "&Icirc;"},
    {"ToolbarButton9792", "I grave accent", "&Igrave;"},
    {"ToolbarButton9791", "I umlaut", "&Iuml;"},
    {"ToolbarButton97110", "N tilde", "&Ntilde;"},
    {"ToolbarButton97109", "O acute accent", "&Oacute;"},
    {"ToolbarButton97108", "O circumflex", "&Ocirc;"},
    {"ToolbarButton97107", "O grave accent", "&Ograve;"},
    {"ToolbarButton97105", "O slash", "&Oslash;"},
    {"ToolbarButton97104", "O tilde", "&Otilde;"},
    {"ToolbarButton97103", "O umlaut", "&Ouml;"},
    {"ToolbarButton97102", "Thorn", "&THORN;"},
    {"ToolbarButton97101", "U acute accent", "&Uacute;"},
    {"ToolbarButton97100", "U circumflex", "&Ucirc;"},
    {"ToolbarButton9799", "U grave accent", "&Ugrave;"},
    {"ToolbarButton97112", "U umlaut", "&Uuml;"},
    {"ToolbarButton97111", "Y acute accent", "&Yacute;"},
};

// Where each group starts in the list above: symbols, lower-case and upper-case letters.
constexpr int LowerCaseStart = 23;
constexpr int UpperCaseStart = 55;

struct Window {
    QWidget root;
    QWidget *page = new QWidget(&root);
    PageEditor *editor = new PageEditor(&root);
    QLineEdit *elsewhere = new QLineEdit(&root);
    InsertionCore core{editor};

    Window() {
        auto *layout = new QVBoxLayout(&root);
        layout->addWidget(page);
        layout->addWidget(elsewhere);
        layout->addWidget(editor);
        populateCharacterPalette(page, core);
        root.show();
        root.activateWindow();
    }
    QString text() const { return pageText(core.page()); }
    QToolButton *button(const char *name) const {
        return page->findChild<QToolButton *>(QString::fromLatin1(name));
    }
};

} // namespace

class TestEntityPalette : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entity_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("entity");
        for (const auto &row : Palette) {
            QTest::addRow("nominal: %s %s", row.name, row.toolTip)
                << row.name << row.toolTip << row.entity;
        }
    }
    void entity() {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        QFETCH(QString, entity);
        Window window;
        QVERIFY(QTest::qWaitForWindowActive(&window.root));
        auto *button = window.page->findChild<QToolButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), toolTip);

        // The entity replaces the selection, in either tag case, and the focus stays put.
        for (const TagCase tagCase : {UpperTagCase, LowerTagCase}) {
            window.core.setTagCase(tagCase);
            setPageText(window.core.page(), QStringLiteral("x abc y"));
            window.core.page().select(2, 5);
            window.elsewhere->setFocus();

            QTest::mouseClick(button, Qt::LeftButton);

            QCOMPARE(window.text(), "x " + entity + " y");
            QCOMPARE(window.core.page().caret(), 2 + entity.size());
            QVERIFY(window.elsewhere->hasFocus());
            window.editor->undo();
            QCOMPARE(window.text(), QStringLiteral("x abc y"));
        }
    }

    void twoClicksInsertTwice() {
        Window window;
        setPageText(window.core.page(), QString());
        QTest::mouseClick(window.button("ToolbarButton9734"), Qt::LeftButton);
        QTest::mouseClick(window.button("ToolbarButton9734"), Qt::LeftButton);
        QCOMPARE(window.text(), QStringLiteral("&copy;&copy;"));
    }

    void faces() {
        Window window;
        const struct {
            const char *name;
            const char *caption;
        } captions[] = {
            {"ToolbarButton9731", "&&"}, {"ToolbarButton9729", "<"},  {"ToolbarButton9730", ">"},
            {"ToolbarButton9735", "-"},  {"ToolbarButton9736", "_"},  {"ToolbarButton9741", "-"},
            {"ToolbarButton9742", "_"},  {"ToolbarButton9732", "\""}, {"ToolbarButton9745", "_"},
        };
        int withCaption = 0;
        for (const auto &row : Palette) {
            const QToolButton *button = window.button(row.name);
            QCOMPARE(button->focusPolicy(), Qt::TabFocus);
            if (!button->text().isEmpty())
                ++withCaption;
            else
                QVERIFY2(!button->icon().isNull(), row.name);
        }
        QCOMPARE(withCaption, int(std::size(captions)));
        for (const auto &row : captions)
            QCOMPARE(window.button(row.name)->text(), QString::fromLatin1(row.caption));
    }

    void layoutInRowsOfEightAndThreeGroups() {
        Window window;
        QVERIFY(QTest::qWaitForWindowExposed(&window.root));
        QCOMPARE(window.page->findChildren<QToolButton *>().size(), std::size(Palette));

        // Rows of eight within a group; each group starts a new row below a line.
        const QList<QFrame *> lines = window.page->findChildren<QFrame *>();
        QList<int> lineYs;
        for (const QFrame *line : lines) {
            if (line->frameShape() == QFrame::HLine)
                lineYs.append(line->y());
        }
        QCOMPARE(lineYs.size(), 2);
        std::sort(lineYs.begin(), lineYs.end());
        int group = 0;
        int indexInGroup = 0;
        for (int i = 0; i < int(std::size(Palette)); ++i) {
            if (i == LowerCaseStart || i == UpperCaseStart) {
                ++group;
                indexInGroup = 0;
            }
            const QToolButton *button = window.button(Palette[i].name);
            if (group > 0)
                QVERIFY2(button->y() > lineYs[group - 1], Palette[i].name);
            if (group < 2)
                QVERIFY2(button->y() < lineYs[group], Palette[i].name);
            if (indexInGroup % 8 != 0) {
                const QToolButton *left = window.button(Palette[i - 1].name);
                QCOMPARE(button->y(), left->y());
                QVERIFY2(button->x() > left->x(), Palette[i].name);
            } else if (indexInGroup > 0) {
                const QToolButton *above = window.button(Palette[i - 8].name);
                QVERIFY2(button->y() > above->y(), Palette[i].name);
                QCOMPARE(button->x(), above->x());
            }
            ++indexInGroup;
        }
    }
};

VELLUMO_TEST_MAIN(TestEntityPalette)
#include "tst_entity_palette.moc"
