#include "markup/entity_palette.h"

#include "editor/insertion_core.h"
#include "widgets/flat_tool_button.h"
#include "widgets/glyph_icon.h"

#include <QFrame>
#include <QGridLayout>
#include <QToolButton>
#include <QWidget>

namespace vellumo {

namespace {

constexpr auto S = EntityButton::Symbols;
constexpr auto L = EntityButton::LowerCaseLetters;
constexpr auto U = EntityButton::UpperCaseLetters;

struct EntityRow {
    const char *objectName;
    const char *toolTip;
    const char *caption; // "&&" shows a single ampersand
    const char16_t *glyph;
    const char *entity;
    EntityButton::Group group;
};

// Symbols (three rows), lower-case letters (four rows), upper-case letters (four rows, the
// last one short). The tooltips are the program's own texts, spelling included.
constexpr EntityRow EntityRows[] = {
    {"ToolbarButton9734", "Copyright", "", u"\u00A9", "&copy;", S},
    {"ToolbarButton9733", "Registered trademark", "", u"\u00AE", "&reg;", S},
    {"ToolbarButton9737", "Trademark", "", u"\u2122", "&trade;", S},
    {"ToolbarButton9738", "Superscript 1", "", u"\u00B9", "&#185;", S},
    {"ToolbarButton9740", "Superscript 2", "", u"\u00B2", "&#178;", S},
    {"ToolbarButton9744", "Superscript 3", "", u"\u00B3", "&#179;", S},
    {"ToolbarButton9758", "Left angle quote", "", u"\u00AB", "&#171;", S},
    {"ToolbarButton9756", "Right angle quote", "", u"\u00BB", "&#187;", S},
    {"ToolbarButton9731", "Ampersand", "&&", u"", "&amp;", S},
    {"ToolbarButton9743", "Paragraph", "", u"\u00B6", "&#182;", S},
    {"ToolbarButton9739", "Em dash", "", u"\u2014", "&mdash;", S},
    {"ToolbarButton9754", "One half", "", u"\u00BD", "&#189;", S},
    {"ToolbarButton9755", "One fourth", "", u"\u00BC", "&#188;", S},
    {"ToolbarButton9753", "Three fourths", "", u"\u00BE", "&#190;", S},
    {"ToolbarButton9729", "Less than", "<", u"", "&lt;", S},
    {"ToolbarButton9730", "Greater than", ">", u"", "&gt;", S},
    {"ToolbarButton9735", "Soft hypen", "-", u"", "&shy;", S},
    {"ToolbarButton9736", "Non-breaking space", "_", u"", "&nbsp;", S},
    {"ToolbarButton9741", "En dash", "-", u"", "&ndash;", S},
    {"ToolbarButton9742", "Em space", "_", u"", "&emsp;", S},
    {"ToolbarButton9732", "Quote", "\"", u"", "&quot;", S},
    {"ToolbarButton9757", "Middle dot", "", u"\u00B7", "&#183;", S},
    {"ToolbarButton9745", "En space", "_", u"", "&ensp;", S},
    {"ToolbarButton9752", "a acute accent", "", u"\u00E1", "&aacute;", L},
    {"ToolbarButton9751", "a cirumflex", "", u"\u00E2", "&acirc;", L},
    {"ToolbarButton9750", "ae ligature", "", u"\u00E6", "&aelig;", L},
    {"ToolbarButton9749", "a grave accent", "", u"\u00E0", "&agrave;", L},
    {"ToolbarButton9748", "a ring", "", u"\u00E5", "&aring;", L},
    {"ToolbarButton9747", "a tilde", "", u"\u00E3", "&atilde;", L},
    {"ToolbarButton9746", "a umlaut", "", u"\u00E4", "&auml;", L},
    {"ToolbarButton9759", "c cedilla", "", u"\u00E7", "&ccedil;", L},
    {"ToolbarButton9765", "e acute accent", "", u"\u00E9", "&eacute;", L},
    {"ToolbarButton9764", "e circumflex", "", u"\u00EA", "&ecirc;", L},
    {"ToolbarButton9763", "e grave accent", "", u"\u00E8", "&egrave;", L},
    {"ToolbarButton9762", "eth", "", u"\u00F0", "&eth;", L},
    {"ToolbarButton9760", "e umlaut", "", u"\u00EB", "&euml;", L},
    {"ToolbarButton9761", "i acute accent", "", u"\u00ED", "&iacute;", L},
    {"ToolbarButton9775", "i cirumflex", "", u"\u00EE", "&icirc;", L},
    {"ToolbarButton9773", "i grave accent", "", u"\u00EC", "&igrave;", L},
    {"ToolbarButton9767", "i umlaut", "", u"\u00EF", "&iuml;", L},
    {"ToolbarButton9772", "n tilde", "", u"\u00F1", "&ntilde;", L},
    {"ToolbarButton9774", "o acute accent", "", u"\u00F3", "&oacute;", L},
    {"ToolbarButton9770", "o circumflex", "", u"\u00F4", "&ocirc;", L},
    {"ToolbarButton9771", "o grave accent", "", u"\u00F2", "&ograve;", L},
    {"ToolbarButton9769", "o slash", "", u"\u00F8", "&oslash;", L},
    {"ToolbarButton9768", "o tilde", "", u"\u00F5", "&otilde;", L},
    {"ToolbarButton9766", "o umlaut", "", u"\u00F6", "&ouml;", L},
    {"ToolbarButton9789", "Sz ligature", "", u"\u00DF", "&szlig;", L},
    {"ToolbarButton9788", "Thorn", "", u"\u00FE", "&thorn;", L},
    {"ToolbarButton9787", "u acute accent", "", u"\u00FA", "&uacute;", L},
    {"ToolbarButton9786", "u circumflex", "", u"\u00FB", "&ucirc;", L},
    {"ToolbarButton9785", "u grave accent", "", u"\u00F9", "&ugrave;", L},
    {"ToolbarButton9784", "u umlaut", "", u"\u00FC", "&uuml;", L},
    {"ToolbarButton9783", "y acute accent", "", u"\u00FD", "&yacute;", L},
    {"ToolbarButton9782", "y umlaut", "", u"\u00FF", "&yuml;", L},
    {"ToolbarButton9781", "A acute accent", "", u"\u00C1", "&Aacute;", U},
    {"ToolbarButton9780", "A circumflex", "", u"\u00C2", "&Acirc;", U},
    {"ToolbarButton9779", "AE ligature", "", u"\u00C6", "&AElig;", U},
    {"ToolbarButton9778", "A grave accent", "", u"\u00C0", "&Agrave;", U},
    {"ToolbarButton9777", "A ring", "", u"\u00C5", "&Aring;", U},
    {"ToolbarButton9776", "A tilde", "", u"\u00C3", "&Atilde;", U},
    {"ToolbarButton9798", "A umlaut", "", u"\u00C4", "&Auml;", U},
    {"ToolbarButton9797", "C cedilla", "", u"\u00C7", "&Ccedil;", U},
    {"ToolbarButton9790", "E acute accent", "", u"\u00C9", "&Eacute;", U},
    {"ToolbarButton97106", "E curcumflex", "", u"\u00CA", "&Ecirc;", U},
    {"ToolbarButton9796", "E grave accent", "", u"\u00C8", "&Egrave;", U},
    {"ToolbarButton9795", "E umlaut", "", u"\u00CB", "&Euml;", U},
    {"ToolbarButton9794", "I acute accent", "", u"\u00CD", "&Iacute;", U},
    {"ToolbarButton9793", "I circumflex", "", u"\u00CE", "&Icirc;", U},
    {"ToolbarButton9792", "I grave accent", "", u"\u00CC", "&Igrave;", U},
    {"ToolbarButton9791", "I umlaut", "", u"\u00CF", "&Iuml;", U},
    {"ToolbarButton97110", "N tilde", "", u"\u00D1", "&Ntilde;", U},
    {"ToolbarButton97109", "O acute accent", "", u"\u00D3", "&Oacute;", U},
    {"ToolbarButton97108", "O circumflex", "", u"\u00D4", "&Ocirc;", U},
    {"ToolbarButton97107", "O grave accent", "", u"\u00D2", "&Ograve;", U},
    {"ToolbarButton97105", "O slash", "", u"\u00D8", "&Oslash;", U},
    {"ToolbarButton97104", "O tilde", "", u"\u00D5", "&Otilde;", U},
    {"ToolbarButton97103", "O umlaut", "", u"\u00D6", "&Ouml;", U},
    {"ToolbarButton97102", "Thorn", "", u"\u00DE", "&THORN;", U},
    {"ToolbarButton97101", "U acute accent", "", u"\u00DA", "&Uacute;", U},
    {"ToolbarButton97100", "U circumflex", "", u"\u00DB", "&Ucirc;", U},
    {"ToolbarButton9799", "U grave accent", "", u"\u00D9", "&Ugrave;", U},
    {"ToolbarButton97112", "U umlaut", "", u"\u00DC", "&Uuml;", U},
    {"ToolbarButton97111", "Y acute accent", "", u"\u00DD", "&Yacute;", U},
};

std::vector<EntityButton> buildButtons() {
    std::vector<EntityButton> buttons;
    buttons.reserve(std::size(EntityRows));
    for (const EntityRow &row : EntityRows) {
        buttons.push_back({QString::fromLatin1(row.objectName), QString::fromLatin1(row.toolTip),
                           QString::fromLatin1(row.caption), QString::fromUtf16(row.glyph),
                           QString::fromLatin1(row.entity), row.group});
    }
    return buttons;
}

QFrame *groupSeparator(QWidget *page) {
    auto *line = new QFrame(page);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

const std::vector<EntityButton> &entityButtons() {
    static const std::vector<EntityButton> buttons = buildButtons();
    return buttons;
}

void populateCharacterPalette(QWidget *page, InsertionCore &core) {
    constexpr int Columns = 8;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(0);

    int row = 0; // the grid row where the current group starts
    int indexInGroup = 0;
    EntityButton::Group group = EntityButton::Symbols;
    for (const EntityButton &entry : entityButtons()) {
        if (entry.group != group) {
            row += (indexInGroup + Columns - 1) / Columns;
            grid->addWidget(groupSeparator(page), row++, 0, 1, Columns);
            group = entry.group;
            indexInGroup = 0;
        }
        ButtonFace face;
        if (entry.caption.isEmpty())
            face.icon = glyphIcon(entry.glyph, Qt::black, false);
        else
            face.caption = entry.caption;
        QToolButton *button = makeFlatButton(page, entry.objectName, entry.toolTip, face);
        const QString entity = entry.entity;
        QObject::connect(button, &QToolButton::clicked, &core,
                         [&core, entity] { core.InsertAtCaret(entity); });
        addToPaletteGrid(grid, button, indexInGroup++, Columns, row);
    }
    row += (indexInGroup + Columns - 1) / Columns;
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(Columns, 1);
}

} // namespace vellumo
