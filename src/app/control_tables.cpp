#include "app/control_tables.h"

#include <QHash>

namespace vellumo {

namespace {

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

const MenuEntry Separator{};

} // namespace

const std::vector<MenuTable> &dropDownMenus() {
    static const std::vector<MenuTable> menus = {
        {"ToolbarButton971",
         "File",
         "PopupMenu2",
         {{"New1", "&New", ctrl(Qt::Key_N)},
          {"Open1", "&Open...", ctrl(Qt::Key_O)},
          {"Save1", "&Save", ctrl(Qt::Key_S)},
          {"Saveas1", "S&ave As..."},
          Separator,
          {"Insert1", "&Insert..."},
          Separator,
          {"Exit1", "E&xit"}}},
        {"ToolbarButton972",
         "Edit",
         "PopupMenu1",
         {{"Undo1", "&Undo", ctrl(Qt::Key_Z)},
          // Undo is many steps deep here, so Redo sits right under it.
          {"Redo1", "&Redo", ctrl(Qt::Key_Y)},
          Separator,
          {"Cut1", "Cut", ctrl(Qt::Key_X)},
          {"Copy1", "Copy", ctrl(Qt::Key_C)},
          {"Paste1", "Paste", ctrl(Qt::Key_V)},
          Separator,
          {"SelectAll1", "&Select All", ctrl(Qt::Key_A)}}},
        {"ToolbarButton97124",
         "Tools",
         "PopupMenu5",
         {{"FrameWizard1", "Frame Wizard"},
          {"FTPAccess1", "FTP Access"},
          {"UpdateVellumo1", "Update Vellumo"},
          Separator,
          {"PageGenerator1", "&Page Generator"}}},
        {"ToolbarButton97132",
         "Tags",
         "PopupMenu3",
         {{"Bold1", "Bold"},
          {"Italic1", "Italic"},
          {"Underlined1", "Underline"},
          Separator,
          {"DecreaseTextSize1", "Decrease Text Size"},
          {"IncreaseTextSize1", "Increase Text Size"},
          Separator,
          {"Center1", "Center"},
          {"LeftJustify1", "Left Justify"},
          {"RightJustify1", "Right Justify"},
          Separator,
          {"Paragraph2", "Paragraph"},
          Separator,
          {"Strong1", "Strong"}}},
        {"ToolbarButton973",
         "Help",
         "PopupMenu4",
         {{"Help1", "Help"}, {"TipoftheDay2", "Tip of the Day"}, Separator, {"About1", "&About"}}},
    };
    return menus;
}

const std::vector<MenuTable> &editorMenuSubmenus() {
    static const std::vector<MenuTable> menus = {
        {"",
         "&File",
         "File1",
         {{"New3", "&New...", ctrl(Qt::Key_N)},
          Separator,
          {"Open3", "&Open", ctrl(Qt::Key_O)},
          {"Save3", "Save", ctrl(Qt::Key_S)},
          {"SaveAs2", "Save As..."}}},
        {"",
         "&Tags",
         "Tags1",
         {{"Bold2", "Bold"},
          {"Italic2", "Italic"},
          {"Underlined2", "Underlined"},
          Separator,
          {"Center2", "Center"},
          {"LeftJustify2", "Left Justify"},
          {"RightJustify2", "Right Justify"},
          Separator,
          {"LineBreak1", "Line Break"},
          {"Paragraph1", "Paragraph"},
          {"HorizontalRule1", "Horizontal Rule..."}}},
    };
    return menus;
}

const std::vector<MenuEntry> &editorMenuEntries() {
    static const std::vector<MenuEntry> entries = {
        Separator,
        {"Cut2", "Cut", ctrl(Qt::Key_X)},
        {"Copy2", "Copy", ctrl(Qt::Key_C)},
        {"Paste2", "Paste", ctrl(Qt::Key_V)},
        Separator,
        {"SelectAll2", "Select All", ctrl(Qt::Key_A)},
    };
    return entries;
}

const std::vector<ButtonEntry> &standardToolbar() {
    static const std::vector<ButtonEntry> buttons = {
        {"ToolbarButton976", "New"},
        {"ToolbarButton974", "Open"},
        {"ToolbarButton977", "Save"},
        {},
        {"ToolbarButton975", "Cut"},
        {"ToolbarButton978", "Copy"},
        {"ToolbarButton979", "Paste"},
        {},
        {"TransparentButton1", "View Panel"},
        {},
        {"TransparentButton2", "Uppercase or Lowercase letters"},
        {},
        {"ToolbarButton9710", "Preview in Browser"},
        {},
        {"ToolbarButton9711", "Bold"},
        {"ToolbarButton9713", "Italic"},
        {"ToolbarButton9712", "Underlined"},
        {},
        {"ToolbarButton9726", "Left Justify"},
        {"ToolbarButton9714", "Center"},
        {"ToolbarButton9718", "Right Justify"},
        {},
        {"ToolbarButton9715", "Paragraph"},
        {},
        {"ToolbarButton9716", "Break"},
        {"ToolbarButton9717", "Non-breaking space"},
        {},
        {"ToolbarButton9719", "Heading 1"},
        {"ToolbarButton9720", "Heading 2"},
        {"ToolbarButton9721", "Heading 3"},
        {"ToolbarButton9722", "Heading 4"},
        {"ToolbarButton9723", "Heading 5"},
        {"ToolbarButton9724", "Heading 6"},
    };
    return buttons;
}

const std::vector<ButtonEntry> &insertToolbar() {
    static const std::vector<ButtonEntry> buttons = {
        {"ToolbarButton9725", "Strong"},
        {"ToolbarButton97126", "Link From the Selected Text"},
        {},
        {"ToolbarButton97134", "Insert Hyper Link"},
        {"ToolbarButton97127", "Insert Image"},
        {"ToolbarButton97136", "E-Mail"},
        {},
        {"ToolbarButton97138", "Add Music or Sound"},
        {"ToolbarButton97139", "Insert Marquee"},
        {"ToolbarButton97149", "Font"},
        {"ToolbarButton97131", "Horizontal Rule"},
        {},
        {"ToolbarButton97141", "Start the Frame Wizard"},
        {"ToolbarButton97146", "Insert Tags"},
        {"ToolbarButton97144", "Insert Comment"},
        {},
        {"ToolbarButton97151", "Form Action"},
        {"ToolbarButton97153", "Form Field"},
        {"ToolbarButton97155", "Image Map"},
        {"ToolbarButton97157", "Insert Meta"},
        {"ToolbarButton97159", "Insert Script"},
        {"ToolbarButton97161", "JAVA Applet"},
        {"ToolbarButton97163", "Parameter"},
        {},
        {"ToolbarButton97165", "Embeded Item"},
    };
    return buttons;
}

const std::vector<ButtonEntry> &normalPalette() {
    static const std::vector<ButtonEntry> buttons = {
        {"ToolbarButton97113", "Insert Image"},
        {"ToolbarButton97130", "Horizontal Rule"},
        {"ToolbarButton97133", "Insert Hyper Link"},
        {"ToolbarButton97135", "E-Mail"},
        {"ToolbarButton97125", "Link From the Selected Text"},
        {"ToolbarButton97137", "Add Music or Sound"},
        {"ToolbarButton97140", "Insert Marquee"},
        {"ToolbarButton97142", "Start the Frame Wizard"},
        {"ToolbarButton97143", "Insert Comment"},
        {"ToolbarButton97145", "Insert Tags"},
        {"ToolbarButton97148", "Font"},
        {"ToolbarButton97150", "Form Action"},
        {"ToolbarButton97152", "Form Field"},
        {"ToolbarButton97154", "Image Map"},
        {"ToolbarButton97156", "Insert Meta"},
        {"ToolbarButton97158", "Insert Script"},
        {"ToolbarButton97160", "JAVA Applet"},
        {"ToolbarButton97162", "Parameter"},
        {"ToolbarButton97164", "Embeded Item"},
    };
    return buttons;
}

const std::vector<ButtonEntry> &appletsPalette() {
    static const std::vector<ButtonEntry> buttons = {
        {"ToolbarButton97123", "Page Transfer"},
        {"ToolbarButton97147", "Scrolling text on statusbar"},
    };
    return buttons;
}

Face faceForHint(const QString &hint) {
    const QColor navy(0, 0, 128);
    const QColor red(Qt::red);
    const QColor teal(0, 110, 110);
    static const QHash<QString, Face> faces = {
        {"New", {QStringLiteral("\u2750"), Qt::black}},
        {"Open", {QStringLiteral("\u25B1"), QColor(160, 120, 0), true}},
        {"Save", {QStringLiteral("\u25A0"), navy}},
        {"Cut", {QStringLiteral("\u2702"), Qt::black}},
        {"Copy", {QStringLiteral("\u274F"), Qt::black}},
        {"Paste", {QStringLiteral("\u25A4"), Qt::black}},
        {"View Panel", {QStringLiteral("\u25E7"), navy}},
        {"Uppercase or Lowercase letters", {QStringLiteral("Aa"), navy, true}},
        {"Preview in Browser", {QStringLiteral("\u25CE"), teal, true}},
        {"Bold", {QStringLiteral("B"), Qt::black, true}},
        {"Italic", {QStringLiteral("I"), Qt::black, false, true}},
        {"Underlined", {QStringLiteral("U"), Qt::black, false, false, true}},
        {"Left Justify", {QStringLiteral("\u2261"), Qt::black}},
        {"Center", {QStringLiteral("\u2263"), Qt::black}},
        {"Right Justify", {QStringLiteral("\u2261"), Qt::black}},
        {"Paragraph", {QStringLiteral("\u00B6"), Qt::black, true}},
        {"Break", {QStringLiteral("BR"), navy, true}},
        {"Non-breaking space", {QStringLiteral("NB"), navy, true}},
        {"Strong", {QStringLiteral("S"), Qt::black, true}},
        {"Link From the Selected Text", {QStringLiteral("\u21AA"), navy, true}},
        {"Insert Hyper Link", {QStringLiteral("\u2693"), navy}},
        {"Insert Image", {QStringLiteral("\u25A3"), teal}},
        {"E-Mail", {QStringLiteral("@"), navy, true}},
        {"Add Music or Sound", {QStringLiteral("\u266B"), navy}},
        {"Insert Marquee", {QStringLiteral("Abc"), Qt::black}},
        {"Font", {QStringLiteral("F"), red, true, true}},
        {"Horizontal Rule", {QStringLiteral("\u2015"), Qt::black, true}},
        {"Start the Frame Wizard", {QStringLiteral("\u229E"), navy}},
        {"Insert Tags", {QStringLiteral("<>"), navy, true}},
        {"Insert Comment", {QStringLiteral("<!"), QColor(110, 110, 110), true}},
        {"Form Action", {QStringLiteral("\u25AD"), teal, true}},
        {"Form Field", {QStringLiteral("\u2610"), teal}},
        {"Image Map", {QStringLiteral("\u25A6"), teal}},
        {"Insert Meta", {QStringLiteral("M"), navy, true}},
        {"Insert Script", {QStringLiteral("{}"), navy, true}},
        {"JAVA Applet", {QStringLiteral("\u2615"), QColor(120, 60, 0)}},
        {"Parameter", {QStringLiteral("P"), QColor(120, 60, 0), true}},
        {"Embeded Item", {QStringLiteral("\u22A1"), navy}},
        {"Page Transfer", {QStringLiteral("\u21C9"), navy, true}},
        {"Scrolling text on statusbar", {QStringLiteral("\u21E5"), navy, true}},
    };
    if (hint.startsWith(QLatin1String("Heading ")))
        return {QStringLiteral("H") + hint.right(1), red, true};
    return faces.value(hint, Face{hint.left(1), Qt::black, true});
}

} // namespace vellumo
