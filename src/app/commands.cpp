#include "app/commands.h"

#include <QHash>

namespace vellumo {

namespace {

Control menu(const char *name, const char *caption) {
    return {QString::fromLatin1(name), Control::MenuEntry, QString::fromLatin1(caption)};
}
Control button(const char *name, const char *hint) {
    return {QString::fromLatin1(name), Control::Button, QString::fromLatin1(hint)};
}
Control hidden(const char *name) {
    return {QString::fromLatin1(name), Control::HiddenKey, QString::fromLatin1(name)};
}

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}
QKeySequence alt(Qt::Key key) {
    return QKeySequence(Qt::ALT | key);
}

const QColor Navy(0, 0, 128);
const QColor Teal(0, 110, 110);
const QColor Brown(120, 60, 0);

Face glyph(const char16_t *text, QColor colour = Qt::black, bool bold = false) {
    return {QString::fromUtf16(text), colour, bold};
}

CommandRow markupRow(const char *title, Format format, std::vector<Control> controls, Face face,
                     const char *status = "") {
    CommandRow row;
    row.id = commandFor(format);
    row.title = QString::fromLatin1(title);
    row.controls = std::move(controls);
    row.statusText = QString::fromLatin1(status);
    row.face = std::move(face);
    row.markup = format;
    return row;
}

CommandRow windowRow(const char *title, Window window, std::vector<Control> controls, Face face,
                     const char *status = "") {
    CommandRow row;
    row.id = commandFor(window);
    row.title = QString::fromLatin1(title);
    row.controls = std::move(controls);
    row.statusText = QString::fromLatin1(status);
    row.face = std::move(face);
    row.opens = window;
    return row;
}

CommandRow handlerRow(Command id, const char *title, std::vector<Control> controls,
                      QList<QKeySequence> keys = {}, const char *status = "", Face face = {}) {
    CommandRow row;
    row.id = id;
    row.title = QString::fromLatin1(title);
    row.controls = std::move(controls);
    row.keys = std::move(keys);
    row.statusText = QString::fromLatin1(status);
    row.face = std::move(face);
    return row;
}

std::vector<CommandRow> buildTable() {
    using C = Command;
    std::vector<CommandRow> rows;
    // The page's life cycle.
    rows.push_back(handlerRow(C::New, "New",
                              {menu("New1", "&New"), menu("New3", "&New..."),
                               button("ToolbarButton976", "New"), hidden("New2")},
                              {ctrl(Qt::Key_N)}, "Create a new file", glyph(u"\u2750")));
    // Each window is a running copy of the program with a page of its own.
    rows.push_back(handlerRow(C::NewWindow, "New Window",
                              {menu("NewWindow1", "New &Window"), hidden("NewWindowKey")},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
                              "Open an empty page in a window of its own"));
    rows.push_back(handlerRow(C::Open, "Open",
                              {menu("Open1", "&Open..."), menu("Open3", "&Open"),
                               button("ToolbarButton974", "Open"), hidden("Open2")},
                              {ctrl(Qt::Key_O)}, "Open a saved file",
                              glyph(u"\u25B1", QColor(160, 120, 0), true)));
    rows.push_back(handlerRow(C::Save, "Save",
                              {menu("Save1", "&Save"), menu("Save3", "Save"),
                               button("ToolbarButton977", "Save"), hidden("Save2")},
                              {ctrl(Qt::Key_S)}, "Save the current file", glyph(u"\u25A0", Navy)));
    rows.back().enabled = EnabledWhen::PageEdited;
    rows.push_back(handlerRow(C::SaveAs, "Save As",
                              {menu("Saveas1", "S&ave As..."), menu("SaveAs2", "Save As...")}));
    rows.push_back(handlerRow(C::InsertFile, "Insert File", {menu("Insert1", "&Insert...")}));
    rows.push_back(handlerRow(C::Exit, "Exit", {menu("Exit1", "E&xit")}));
    // Editing.
    rows.push_back(handlerRow(C::Undo, "Undo", {menu("Undo1", "&Undo")}, {ctrl(Qt::Key_Z)}));
    rows.back().enabled = EnabledWhen::MenuOpened;
    // Undo is many steps deep here, so Redo sits right under it.
    rows.push_back(handlerRow(C::Redo, "Redo", {menu("Redo1", "&Redo"), hidden("Redo2")},
                              {ctrl(Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    rows.back().enabled = EnabledWhen::RedoAvailable;
    rows.push_back(
        handlerRow(C::Cut, "Cut",
                   {menu("Cut1", "Cut"), menu("Cut2", "Cut"), button("ToolbarButton975", "Cut")},
                   {ctrl(Qt::Key_X)}, "Cut the selected text to the clipboard", glyph(u"\u2702")));
    rows.back().enabled = EnabledWhen::TextSelected;
    rows.push_back(handlerRow(
        C::Copy, "Copy",
        {menu("Copy1", "Copy"), menu("Copy2", "Copy"), button("ToolbarButton978", "Copy")},
        {ctrl(Qt::Key_C)}, "Copy selected text to clipboard", glyph(u"\u274F")));
    rows.back().enabled = EnabledWhen::TextSelected;
    rows.push_back(handlerRow(
        C::Paste, "Paste",
        {menu("Paste1", "Paste"), menu("Paste2", "Paste"), button("ToolbarButton979", "Paste")},
        {ctrl(Qt::Key_V)}, "Paste text from the clipboard", glyph(u"\u25A4")));
    rows.back().enabled = EnabledWhen::ClipboardHasText;
    rows.push_back(handlerRow(C::SelectAll, "Select All",
                              {menu("SelectAll1", "&Select All"), menu("SelectAll2", "Select All")},
                              {ctrl(Qt::Key_A)}));
    rows.push_back(handlerRow(C::GoToLine, "Go to Line",
                              {menu("GoToLine1", "&Go to Line..."), hidden("GoToLineKey")},
                              {ctrl(Qt::Key_G)}));
    // Searching: the keys work wherever the focus is in the window.
    rows.push_back(handlerRow(C::Find, "Find", {menu("Find1", "&Find..."), hidden("FindKey")},
                              {ctrl(Qt::Key_F)}, "Find text in the page"));
    rows.push_back(handlerRow(C::FindNext, "Find Next",
                              {menu("FindNext1", "Find &Next"), hidden("FindNextKey")},
                              {QKeySequence(Qt::Key_F3)}, "Find the next match"));
    rows.push_back(handlerRow(C::FindPrevious, "Find Previous",
                              {menu("FindPrevious1", "Find Pre&vious"), hidden("FindPreviousKey")},
                              {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, "Find the previous match"));
    rows.push_back(handlerRow(C::Replace, "Replace",
                              {menu("Replace1", "&Replace..."), hidden("ReplaceKey")},
                              {ctrl(Qt::Key_H)}, "Replace text in the page"));
    rows.push_back(handlerRow(C::FindInFiles, "Find in Files",
                              {menu("FindInFiles1", "Find in F&iles..."), hidden("FindInFilesKey")},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
                              "Find text in the files of a folder"));
    // Tools and help.
    rows.push_back(handlerRow(C::FtpAccess, "FTP Access", {menu("FTPAccess1", "FTP Access")}));
    rows.push_back(
        handlerRow(C::UpdateProgram, "Update Vellumo", {menu("UpdateVellumo1", "Update Vellumo")}));
    rows.push_back(handlerRow(C::Help, "Help", {menu("Help1", "Help")}));
    rows.push_back(handlerRow(C::HelpContext, "Help on the main window", {hidden("HelpContext")},
                              {QKeySequence(Qt::Key_F1)}));
    rows.back().controls.front().text = QStringLiteral("Help");
    rows.push_back(
        handlerRow(C::TipOfTheDay, "Tip of the Day", {menu("TipoftheDay2", "Tip of the Day")}));
    rows.push_back(handlerRow(C::About, "About", {menu("About1", "&About")}));
    // The window.
    rows.push_back(handlerRow(C::ViewPanel, "View Panel",
                              {button("TransparentButton1", "View Panel")}, {}, "View the panel",
                              glyph(u"\u25E7", Navy)));
    rows.back().checkable = true;
    rows.push_back(handlerRow(C::TagCase, "Uppercase or Lowercase letters",
                              {button("TransparentButton2", "Uppercase or Lowercase letters")}, {},
                              "Change to Uppercase or Lowercase letters",
                              glyph(u"Aa", Navy, true)));
    rows.back().checkable = true;
    rows.push_back(handlerRow(C::PreviewInBrowser, "Preview in Browser",
                              {button("ToolbarButton9710", "Preview in Browser")}, {}, "",
                              glyph(u"\u25CE", Teal, true)));
    rows.push_back(handlerRow(C::LinkFromSelection, "Link From the Selected Text",
                              {button("ToolbarButton97126", "Link From the Selected Text"),
                               button("ToolbarButton97125", "Link From the Selected Text")},
                              {}, "Create a link from the selected text",
                              glyph(u"\u21AA", Navy, true)));

    rows.push_back(handlerRow(C::CommandPalette, "Command Palette", {hidden("CommandPaletteKey")},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}));
    rows.push_back(
        handlerRow(C::NextArea, "Next Panel", {hidden("NextAreaKey")}, {QKeySequence(Qt::Key_F6)}));
    rows.push_back(handlerRow(
        C::CheckPage, "Check Page", {menu("CheckPage1", "&Check Page"), hidden("CheckPageKey")},
        {QKeySequence(Qt::Key_F9)}, "Check the page for markup errors and broken links"));
    // The View menu: panels and the editor's drawing.
    rows.push_back(handlerRow(C::LivePreview, "Live Preview",
                              {menu("LivePreview1", "Live &Preview"), hidden("LivePreviewKey")},
                              {QKeySequence(Qt::Key_F12)},
                              "Show the page beside its source as you type"));
    rows.back().checkable = true;
    rows.push_back(handlerRow(C::LineNumbers, "Line Numbers",
                              {menu("LineNumbers1", "&Line Numbers")}, {},
                              "Show or hide the line numbers"));
    rows.back().checkable = true;
    rows.push_back(handlerRow(C::SyntaxColouring, "Syntax Colouring",
                              {menu("Highlight1", "Syntax &Colouring")}, {},
                              "Colour the markup or show it plain"));
    rows.back().checkable = true;
    rows.push_back(handlerRow(C::TagsToUpper, "All Tags to Upper Case",
                              {menu("TagsToUpper1", "All Tags to &Upper Case")}, {},
                              "Write the names of every tag and attribute in upper case"));
    rows.push_back(handlerRow(C::TagsToLower, "All Tags to Lower Case",
                              {menu("TagsToLower1", "All Tags to &Lower Case")}, {},
                              "Write the names of every tag and attribute in lower case"));
    rows.push_back(handlerRow(C::CharactersToEntities, "Characters to Entities",
                              {menu("CharactersToEntities1", "Characters to &Entities")}, {},
                              "Write characters of the text as character references"));
    rows.push_back(handlerRow(C::EntitiesToCharacters, "Entities to Characters",
                              {menu("EntitiesToCharacters1", "Entities to C&haracters")}, {},
                              "Write character references of the text as their characters"));
    // The dialog that writes the element at the caret, opened on that element.
    rows.push_back(handlerRow(
        C::EditTag, "Edit Tag",
        {menu("EditTag1", "&Edit Tag..."), menu("EditTag2", "&Edit Tag..."), hidden("EditTagKey")},
        {QKeySequence(Qt::Key_F2)}, "Edit the tag at the caret in the dialog that writes it"));
    rows.push_back(handlerRow(
        C::ExpandAbbreviation, "Expand Abbreviation",
        {menu("ExpandAbbreviation1", "Expand Abbreviation"), hidden("ExpandAbbreviationKey")},
        {ctrl(Qt::Key_E)}, "Write the markup the abbreviation before the caret stands for"));

    // Formatting. The editor menu's Left Justify, Center and Right Justify run the commands
    // their captions name.
    rows.push_back(
        markupRow("Bold", Format::Bold,
                  {button("ToolbarButton9711", "Bold"), button("ToolbarButton97114", "Bold"),
                   menu("Bold1", "Bold"), menu("Bold2", "Bold"), hidden("BoldKey")},
                  glyph(u"B", Qt::black, true)));
    rows.back().keys = {ctrl(Qt::Key_B)};
    rows.push_back(
        markupRow("Italic", Format::Italic,
                  {button("ToolbarButton9713", "Italic"), button("ToolbarButton97115", "Italic"),
                   menu("Italic1", "Italic"), menu("Italic2", "Italic"), hidden("ItalicKey")},
                  {QStringLiteral("I"), Qt::black, false, true}));
    rows.back().keys = {ctrl(Qt::Key_I)};
    rows.push_back(
        markupRow("Underline", Format::Underline,
                  {button("ToolbarButton9712", "Underlined"),
                   button("ToolbarButton97116", "Underlined"), menu("Underlined1", "Underline"),
                   menu("Underlined2", "Underlined"), hidden("UnderlineKey")},
                  {QStringLiteral("U"), Qt::black, false, false, true}));
    rows.back().keys = {ctrl(Qt::Key_U)};
    rows.push_back(markupRow(
        "Left Justify", Format::LeftJustify,
        {button("ToolbarButton9726", "Left Justify"), button("ToolbarButton97117", "Left Justify"),
         menu("LeftJustify1", "Left Justify"), menu("LeftJustify2", "Left Justify")},
        {{}, Qt::black, false, false, false, Qt::AlignLeft}));
    rows.push_back(
        markupRow("Center", Format::Center,
                  {button("ToolbarButton9714", "Center"), button("ToolbarButton97118", "Center"),
                   menu("Center1", "Center"), menu("Center2", "Center")},
                  {{}, Qt::black, false, false, false, Qt::AlignHCenter}));
    rows.push_back(
        markupRow("Right Justify", Format::RightJustify,
                  {button("ToolbarButton9718", "Right Justify"),
                   button("ToolbarButton97119", "Right Justify"),
                   menu("RightJustify1", "Right Justify"), menu("RightJustify2", "Right Justify")},
                  {{}, Qt::black, false, false, false, Qt::AlignRight}));
    const struct {
        Format format;
        const char *title, *button, *hint, *status;
    } headings[] = {
        {Format::Heading1, "Heading 1", "ToolbarButton9719", "Heading 1", "Insert Heading 1"},
        {Format::Heading2, "Heading 2", "ToolbarButton9720", "Heading 2", "Insert Heading 2"},
        {Format::Heading3, "Heading 3", "ToolbarButton9721", "Heading 3", "Insert Heading 3"},
        {Format::Heading4, "Heading 4", "ToolbarButton9722", "Heading 4", "Insert Heading 4"},
        {Format::Heading5, "Heading 5", "ToolbarButton9723", "Heading 5", "Insert Heading 5"},
        {Format::Heading6, "Heading 6", "ToolbarButton9724", "Heading 6", "Insert Heading 6"},
    };
    for (const auto &h : headings)
        rows.push_back(markupRow(
            h.title, h.format, {button(h.button, h.hint)},
            {QStringLiteral("H") + QLatin1String(h.title).back(), Qt::red, true}, h.status));
    rows.push_back(markupRow("Strong", Format::Strong,
                             {button("ToolbarButton9725", "Strong"),
                              button("ToolbarButton97122", "Strong"), menu("Strong1", "Strong")},
                             glyph(u"S", Qt::black, true)));
    rows.push_back(markupRow("Increase Text Size", Format::Bigger,
                             {button("ToolbarButton9727", "Increase Text Size"),
                              menu("IncreaseTextSize1", "Increase Text Size")},
                             glyph(u"A+", Navy, true)));
    rows.push_back(markupRow("Decrease Text Size", Format::Smaller,
                             {button("ToolbarButton9728", "Decrease Text Size"),
                              menu("DecreaseTextSize1", "Decrease Text Size")},
                             glyph(u"a-", Navy, true)));
    rows.push_back(markupRow("Font Size + 1", Format::FontSizeUp,
                             {button("ToolbarButton97129", "Increase Text Size")},
                             glyph(u"F+", Navy, true), "Increase Text Size + 1"));
    rows.push_back(markupRow("Font Size - 1", Format::FontSizeDown,
                             {button("ToolbarButton97128", "Decrease Text Size - 1")},
                             glyph(u"F-", Navy, true)));
    rows.push_back(markupRow("Paragraph", Format::Paragraph,
                             {button("ToolbarButton9715", "Paragraph"),
                              menu("Paragraph2", "Paragraph"), menu("Paragraph1", "Paragraph")},
                             glyph(u"\u00B6", Qt::black, true), "Insert Paragraph"));
    rows.push_back(
        markupRow("Line Break", Format::LineBreak,
                  {button("ToolbarButton9716", "Break"), button("ToolbarButton97120", "Break"),
                   menu("LineBreak1", "Line Break")},
                  glyph(u"BR", Navy, true), "Insert Break"));
    rows.push_back(markupRow("Non-breaking space", Format::NonBreakingSpace,
                             {button("ToolbarButton9717", "Non-breaking space"),
                              button("ToolbarButton97121", "Non-breaking space")},
                             glyph(u"NB", Navy, true)));
    rows.push_back(markupRow("Insert Comment", Format::Comment,
                             {button("ToolbarButton97143", "Insert Comment"),
                              button("ToolbarButton97144", "Insert Comment")},
                             glyph(u"<!", QColor(110, 110, 110), true)));

    // The element dialogs and generators.
    rows.push_back(windowRow("Insert Image", Window::Image,
                             {button("ToolbarButton97113", "Insert Image"),
                              button("ToolbarButton97127", "Insert Image")},
                             glyph(u"\u25A3", Teal), "Insert an image"));
    rows.push_back(windowRow("Horizontal Rule", Window::Rule,
                             {button("ToolbarButton97130", "Horizontal Rule"),
                              button("ToolbarButton97131", "Horizontal Rule"),
                              menu("HorizontalRule1", "Horizontal Rule...")},
                             glyph(u"\u2015", Qt::black, true)));
    rows.push_back(windowRow("Insert Hyper Link", Window::Link,
                             {button("ToolbarButton97133", "Insert Hyper Link"),
                              button("ToolbarButton97134", "Insert Hyper Link")},
                             glyph(u"\u2693", Navy)));
    rows.push_back(
        windowRow("E-Mail", Window::EMail,
                  {button("ToolbarButton97135", "E-Mail"), button("ToolbarButton97136", "E-Mail")},
                  glyph(u"@", Navy, true)));
    rows.push_back(windowRow("Page Transfer", Window::PageTransfer,
                             {button("ToolbarButton97123", "Page Transfer")},
                             glyph(u"\u21C9", Navy, true),
                             "This will automatically transfer the visitor of the page to another "
                             "page"));
    rows.push_back(windowRow("Page Generator", Window::PageGenerator,
                             {menu("PageGenerator1", "&Page Generator")}, {}));
    rows.push_back(windowRow("Add Music or Sound", Window::Sound,
                             {button("ToolbarButton97137", "Add Music or Sound"),
                              button("ToolbarButton97138", "Add Music or Sound")},
                             glyph(u"\u266B", Navy)));
    rows.push_back(windowRow("Insert Marquee", Window::Marquee,
                             {button("ToolbarButton97140", "Insert Marquee"),
                              button("ToolbarButton97139", "Insert Marquee")},
                             glyph(u"Abc")));
    rows.push_back(windowRow("Frame Wizard", Window::FrameWizard,
                             {button("ToolbarButton97142", "Start the Frame Wizard"),
                              button("ToolbarButton97141", "Start the Frame Wizard"),
                              menu("FrameWizard1", "Frame Wizard")},
                             glyph(u"\u229E", Navy)));
    rows.push_back(windowRow(
        "Insert Tags", Window::InsertTags,
        {button("ToolbarButton97145", "Insert Tags"), button("ToolbarButton97146", "Insert Tags")},
        glyph(u"<>", Navy, true)));
    rows.push_back(windowRow("Scrolling text on statusbar", Window::ScrollingText,
                             {button("ToolbarButton97147", "Scrolling text on statusbar")},
                             glyph(u"\u21E5", Navy, true)));
    rows.push_back(
        windowRow("Font", Window::Font,
                  {button("ToolbarButton97148", "Font"), button("ToolbarButton97149", "Font")},
                  {QStringLiteral("F"), Qt::red, true, true}, "Change the font"));
    rows.push_back(windowRow(
        "Form Action", Window::FormAction,
        {button("ToolbarButton97150", "Form Action"), button("ToolbarButton97151", "Form Action")},
        glyph(u"\u25AD", Teal, true)));
    rows.push_back(windowRow(
        "Form Field", Window::FormField,
        {button("ToolbarButton97152", "Form Field"), button("ToolbarButton97153", "Form Field")},
        glyph(u"\u2610", Teal)));
    rows.push_back(windowRow(
        "Image Map", Window::ImageMap,
        {button("ToolbarButton97154", "Image Map"), button("ToolbarButton97155", "Image Map")},
        glyph(u"\u25A6", Teal)));
    rows.push_back(windowRow(
        "Insert Meta", Window::Meta,
        {button("ToolbarButton97156", "Insert Meta"), button("ToolbarButton97157", "Insert Meta")},
        glyph(u"M", Navy, true)));
    rows.push_back(windowRow("Insert Script", Window::Script,
                             {button("ToolbarButton97158", "Insert Script"),
                              button("ToolbarButton97159", "Insert Script")},
                             glyph(u"{}", Navy, true)));
    rows.push_back(windowRow(
        "JAVA Applet", Window::Applet,
        {button("ToolbarButton97160", "JAVA Applet"), button("ToolbarButton97161", "JAVA Applet")},
        glyph(u"\u2615", Brown)));
    rows.push_back(windowRow(
        "Parameter", Window::Parameter,
        {button("ToolbarButton97162", "Parameter"), button("ToolbarButton97163", "Parameter")},
        glyph(u"P", Brown, true)));
    rows.push_back(windowRow("Embeded Item", Window::EmbeddedItem,
                             {button("ToolbarButton97164", "Embeded Item"),
                              button("ToolbarButton97165", "Embeded Item")},
                             glyph(u"\u22A1", Navy)));

    return rows;
}

QStringList names(std::initializer_list<const char *> list) {
    QStringList result;
    for (const char *name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

} // namespace

EnabledWhen enabledRule(const CommandRow &row, Control::Kind kind) {
    if (kind == Control::HiddenKey ||
        (kind == Control::MenuEntry && row.enabled == EnabledWhen::PageEdited))
        return EnabledWhen::Always;
    return row.enabled;
}

const std::vector<CommandRow> &commandTable() {
    static const std::vector<CommandRow> table = buildTable();
    return table;
}

const CommandRow &commandRow(Command command) {
    // Every command's row, found by the command's value; a command twice or without a row
    // stops start-up.
    static const std::vector<const CommandRow *> byCommand = [] {
        std::vector<const CommandRow *> index(OwnCommandCount + FormatCount + WindowCount);
        for (const CommandRow &row : commandTable()) {
            const CommandRow *&slot = index.at(static_cast<std::size_t>(row.id));
            if (slot)
                qFatal("command table: %s has two rows", qPrintable(row.title));
            slot = &row;
        }
        // Every command with a handler, and every formatting, has its row.
        for (int command = 0; command < OwnCommandCount + FormatCount; ++command)
            if (!index.at(static_cast<std::size_t>(command)))
                qFatal("command table: command %d has no row", command);
        return index;
    }();
    const CommandRow *row = byCommand.at(static_cast<std::size_t>(command));
    if (!row)
        qFatal("command table: command %d has no row", static_cast<int>(command));
    return *row;
}

const CommandRow *commandOfControl(const QString &objectName, const Control **control) {
    static const QHash<QString, std::pair<const CommandRow *, const Control *>> byName = [] {
        QHash<QString, std::pair<const CommandRow *, const Control *>> index;
        for (const CommandRow &row : commandTable())
            for (const Control &c : row.controls)
                index.insert(c.objectName, {&row, &c});
        return index;
    }();
    const auto found = byName.constFind(objectName);
    if (found == byName.cend())
        return nullptr;
    if (control)
        *control = found->second;
    return found->first;
}

QString placesOf(const CommandRow &row) {
    const std::pair<QString, const QStringList *> bars[] = {
        {QStringLiteral("Standard toolbar"), &standardToolbar()},
        {QStringLiteral("Insert toolbar"), &insertToolbar()},
        {QStringLiteral("Normal page"), &normalPalette()},
        {QStringLiteral("Fonts page"), &fontsPalette()},
        {QStringLiteral("Applets page"), &appletsPalette()},
    };
    QStringList places;
    const auto add = [&places](const QString &place) {
        if (!places.contains(place))
            places << place;
    };
    for (const Control &control : row.controls) {
        for (const MenuLayout &menu : dropDownMenus())
            if (menu.entries.contains(control.objectName))
                add(menu.buttonText + QStringLiteral(" menu"));
        for (const MenuLayout &menu : editorMenuSubmenus())
            if (menu.entries.contains(control.objectName))
                add(QStringLiteral("Editor menu"));
        if (editorMenuEntries().contains(control.objectName))
            add(QStringLiteral("Editor menu"));
        for (const auto &[name, buttons] : bars)
            if (buttons->contains(control.objectName))
                add(name);
    }
    return places.isEmpty() ? QStringLiteral("Keyboard") : places.join(QStringLiteral(", "));
}

const std::vector<MenuLayout> &dropDownMenus() {
    static const std::vector<MenuLayout> menus = {
        {"ToolbarButton971", "File", "PopupMenu2",
         names({"New1", "NewWindow1", "Open1", "Save1", "Saveas1", "", "Insert1", "", "Exit1"}),
         alt(Qt::Key_F)},
        {"ToolbarButton972", "Edit", "PopupMenu1",
         names({"Undo1", "Redo1", "", "Cut1", "Copy1", "Paste1", "", "SelectAll1", "GoToLine1", "",
                "Find1", "FindNext1", "FindPrevious1", "Replace1", "FindInFiles1"}),
         alt(Qt::Key_E)},
        {"ViewMenuButton", "View", "ViewMenu",
         names({"LivePreview1", "", "LineNumbers1", "Highlight1"}), alt(Qt::Key_V)},
        {"ToolbarButton97124", "Tools", "PopupMenu5",
         names({"FrameWizard1", "FTPAccess1", "UpdateVellumo1", "", "PageGenerator1", "",
                "CheckPage1"}),
         alt(Qt::Key_T)},
        {"ToolbarButton97132", "Tags", "PopupMenu3",
         names({"Bold1", "Italic1", "Underlined1", "", "DecreaseTextSize1", "IncreaseTextSize1", "",
                "Center1", "LeftJustify1", "RightJustify1", "", "Paragraph2", "", "Strong1", "",
                "TagsToUpper1", "TagsToLower1", "CharactersToEntities1", "EntitiesToCharacters1",
                // Expand Abbreviation and Edit Tag close the menu, after a separator.
                "", "ExpandAbbreviation1", "EditTag1"}),
         alt(Qt::Key_A)},
        {"ToolbarButton973", "Help", "PopupMenu4", names({"Help1", "TipoftheDay2", "", "About1"}),
         alt(Qt::Key_H)},
    };
    return menus;
}

const std::vector<MenuLayout> &editorMenuSubmenus() {
    static const std::vector<MenuLayout> menus = {
        {"", "&File", "File1", names({"New3", "", "Open3", "Save3", "SaveAs2"})},
        {"", "&Tags", "Tags1",
         names({"Bold2", "Italic2", "Underlined2", "", "Center2", "LeftJustify2", "RightJustify2",
                "", "LineBreak1", "Paragraph1", "HorizontalRule1", "", "EditTag2"})},
    };
    return menus;
}

const QStringList &editorMenuEntries() {
    static const QStringList entries = names({"", "Cut2", "Copy2", "Paste2", "", "SelectAll2"});
    return entries;
}

const QStringList &hiddenKeyEntries() {
    static const QStringList entries =
        names({"New2", "Open2", "Save2", "Redo2", "FindKey", "FindNextKey", "FindPreviousKey",
               "ReplaceKey", "FindInFilesKey", "LivePreviewKey"});
    return entries;
}

const QStringList &standardToolbar() {
    static const QStringList buttons = names({"ToolbarButton976",
                                              "ToolbarButton974",
                                              "ToolbarButton977",
                                              "",
                                              "ToolbarButton975",
                                              "ToolbarButton978",
                                              "ToolbarButton979",
                                              "",
                                              "TransparentButton1",
                                              "",
                                              "TransparentButton2",
                                              "",
                                              "ToolbarButton9710",
                                              "",
                                              "ToolbarButton9711",
                                              "ToolbarButton9713",
                                              "ToolbarButton9712",
                                              "",
                                              "ToolbarButton9726",
                                              "ToolbarButton9714",
                                              "ToolbarButton9718",
                                              "",
                                              "ToolbarButton9715",
                                              "",
                                              "ToolbarButton9716",
                                              "ToolbarButton9717",
                                              "",
                                              "ToolbarButton9719",
                                              "ToolbarButton9720",
                                              "ToolbarButton9721",
                                              "ToolbarButton9722",
                                              "ToolbarButton9723",
                                              "ToolbarButton9724"});
    return buttons;
}

const QStringList &insertToolbar() {
    static const QStringList buttons = names({"ToolbarButton9725",
                                              "ToolbarButton97126",
                                              "",
                                              "ToolbarButton97134",
                                              "ToolbarButton97127",
                                              "ToolbarButton97136",
                                              "",
                                              "ToolbarButton97138",
                                              "ToolbarButton97139",
                                              "ToolbarButton97149",
                                              "ToolbarButton97131",
                                              "",
                                              "ToolbarButton97141",
                                              "ToolbarButton97146",
                                              "ToolbarButton97144",
                                              "",
                                              "ToolbarButton97151",
                                              "ToolbarButton97153",
                                              "ToolbarButton97155",
                                              "ToolbarButton97157",
                                              "ToolbarButton97159",
                                              "ToolbarButton97161",
                                              "ToolbarButton97163",
                                              "",
                                              "ToolbarButton97165"});
    return buttons;
}

const QStringList &normalPalette() {
    static const QStringList buttons = names(
        {"ToolbarButton97113", "ToolbarButton97130", "ToolbarButton97133", "ToolbarButton97135",
         "ToolbarButton97125", "ToolbarButton97137", "ToolbarButton97140", "ToolbarButton97142",
         "ToolbarButton97143", "ToolbarButton97145", "ToolbarButton97148", "ToolbarButton97150",
         "ToolbarButton97152", "ToolbarButton97154", "ToolbarButton97156", "ToolbarButton97158",
         "ToolbarButton97160", "ToolbarButton97162", "ToolbarButton97164"});
    return buttons;
}

const QStringList &fontsPalette() {
    static const QStringList buttons =
        names({"ToolbarButton9727", "ToolbarButton9728", "ToolbarButton97114", "ToolbarButton97115",
               "ToolbarButton97116", "ToolbarButton97117", "ToolbarButton97118",
               "ToolbarButton97119", "ToolbarButton97120", "ToolbarButton97121",
               "ToolbarButton97122", "ToolbarButton97129", "ToolbarButton97128"});
    return buttons;
}

const QStringList &appletsPalette() {
    static const QStringList buttons = names({"ToolbarButton97123", "ToolbarButton97147"});
    return buttons;
}

} // namespace vellumo
