#pragma once

#include "markup/format_commands.h"

#include <QColor>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vellumo {

// The main window's commands, whatever control runs it. The enum names those with a
// handler of their own; the formatting commands (one per Format) and the commands that
// show an element dialog or generator (one per Window) follow them, named by commandFor().
enum class Command {
    New,
    NewWindow,
    Open,
    Save,
    SaveAs,
    InsertFile,
    Exit,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    GoToLine,
    Find,
    FindNext,
    FindPrevious,
    Replace,
    FindInFiles,
    FtpAccess,
    UpdateProgram,
    Help,
    HelpContext,
    TipOfTheDay,
    About,
    ViewPanel,
    TagCase,
    PreviewInBrowser,
    LinkFromSelection,
    CommandPalette,
    NextArea,
    CheckPage,
    LivePreview,
    LineNumbers,
    SyntaxColouring,
    // Whole-page conversions of the markup.
    TagsToUpper,
    TagsToLower,
    CharactersToEntities,
    EntitiesToCharacters,
    EditTag,
    ExpandAbbreviation,
};
constexpr int OwnCommandCount = static_cast<int>(Command::ExpandAbbreviation) + 1;

// The windows created after the main one, in creation order.
enum class Window {
    Title,
    InsertStyle,
    About,
    Image,
    Rule,
    Link,
    EMail,
    PageTransfer,
    PageGenerator,
    Sound,
    Marquee,
    FrameWizard,
    FrameDetails,
    InsertTags,
    ScrollingText,
    Font,
    FormAction,
    FormField,
    ImageMap,
    Meta,
    Script,
    Applet,
    Parameter,
    TipOfTheDay,
    EmbeddedItem,
};
constexpr int WindowCount = static_cast<int>(Window::EmbeddedItem) + 1;

constexpr Command commandFor(Format format) {
    return static_cast<Command>(OwnCommandCount + static_cast<int>(format));
}
constexpr Command commandFor(Window window) {
    return static_cast<Command>(OwnCommandCount + FormatCount + static_cast<int>(window));
}

// The picture of a button: a short text drawn in a colour, or lines of text set flush
// left, centred or flush right.
struct Face {
    QString glyph;
    QColor colour = Qt::black;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Qt::Alignment lines = {};
};

// One control that runs a command: an entry of a menu (its caption), a toolbar or palette
// button (its hint), or a hidden entry that carries the command's key window-wide.
struct Control {
    enum Kind { MenuEntry, Button, HiddenKey };
    QString objectName;
    Kind kind;
    QString text;
};

// When a command's visible controls can be used. Buttons follow the editor as it changes;
// menu entries are set when their menu opens.
enum class EnabledWhen {
    Always,
    TextSelected,
    ClipboardHasText,
    RedoAvailable,
    MenuOpened, // dimmed until its menu is first opened
    PageEdited, // lit by the first key, dimmed by a save
};

struct CommandRow {
    Command id = Command::New;
    QString title; // the command's name where commands are listed by name
    std::vector<Control> controls;
    QList<QKeySequence> keys; // shown beside its menu entries; the first is window-wide
    QString statusText;       // empty: a button's status text is its hint
    Face face;                // on every button that runs it, so twins look alike
    std::optional<Window> opens;
    std::optional<Format> markup;
    EnabledWhen enabled = EnabledWhen::Always;
    bool checkable = false;
};

// The rule `kind`'s controls of `row` follow. A row's rule is its buttons' and its menu
// entries'; the Save button alone shows whether there is something to save, and the
// File menu's Save always saves, as do the hidden entries that carry a command's key.
EnabledWhen enabledRule(const CommandRow &row, Control::Kind kind);

// One row per command.
const std::vector<CommandRow> &commandTable();
const CommandRow &commandRow(Command command);
// The command and control a control's object name stands for, or nullptr.
const CommandRow *commandOfControl(const QString &objectName, const Control **control = nullptr);
// Where a command's controls stand, for a person: "Edit menu, Standard toolbar".
QString placesOf(const CommandRow &row);

// Where the controls stand. An empty name is a separator.
struct MenuLayout {
    QString buttonName; // the menu toolbar button that drops it down ("" for submenus)
    QString buttonText;
    QString menuName;
    QStringList entries;
    QKeySequence opener = {}; // opens it from anywhere in the window, as in a menu bar
};
const std::vector<MenuLayout> &dropDownMenus();
// The editor's context menu: the "&File" and "&Tags" submenus, then its own entries.
const std::vector<MenuLayout> &editorMenuSubmenus();
const QStringList &editorMenuEntries();
const QStringList &hiddenKeyEntries();
const QStringList &standardToolbar();
const QStringList &insertToolbar();
// The palette pages of "Insert HTML", in rows of eight.
const QStringList &normalPalette();
const QStringList &fontsPalette();
const QStringList &appletsPalette();

} // namespace vellumo
