#pragma once

#include <QString>

#include <vector>

namespace vellumo {

class InsertionCore;

// The formatting commands (Bold, Heading 1, Line break, Insert Comment ...).
enum class Format {
    Bold,
    Italic,
    Underline,
    LeftJustify,
    Center,
    RightJustify,
    Heading1,
    Heading2,
    Heading3,
    Heading4,
    Heading5,
    Heading6,
    Strong,
    Bigger,
    Smaller,
    FontSizeUp,
    FontSizeDown,
    Paragraph,
    LineBreak,
    NonBreakingSpace,
    Comment,
};
constexpr int FormatCount = static_cast<int>(Format::Comment) + 1;

// One formatting command's markup in both tag cases.
//
// In an opening text "%1" stands for the attribute quote; the command puts the editor's
// quote there when it runs ("<P ALIGN=%1LEFT%1>" becomes <P ALIGN="LEFT">).
struct MarkupCommand {
    enum Kind { Wrap, Insert };

    Format format;
    Kind kind;
    QString upperOpen, upperClose, lowerOpen, lowerClose; // an insert uses only the open texts
    int step; // how far a wrap's opening text moves the selected text right
};

// Every formatting command, in the order of the enum.
const std::vector<MarkupCommand> &markupCommands();
const MarkupCommand &markupCommand(Format format);

// Wraps the selection or inserts at the caret in the current tag case, then gives the
// editor the keyboard focus, so a command run from a menu or palette leaves the user typing.
void runMarkupCommand(InsertionCore &core, const MarkupCommand &command);

} // namespace vellumo
