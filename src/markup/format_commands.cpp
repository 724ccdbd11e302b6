#include "markup/format_commands.h"

#include "editor/insertion_core.h"

namespace vellumo {

namespace {

MarkupCommand wrap(Format format, const char *upperOpen, const char *upperClose,
                   const char *lowerOpen, const char *lowerClose, int step) {
    return {format,
            MarkupCommand::Wrap,
            QString::fromLatin1(upperOpen),
            QString::fromLatin1(upperClose),
            QString::fromLatin1(lowerOpen),
            QString::fromLatin1(lowerClose),
            step};
}

MarkupCommand insert(Format format, const char *upper, const char *lower) {
    return {format,    MarkupCommand::Insert,      QString::fromLatin1(upper),
            QString(), QString::fromLatin1(lower), QString(),
            0};
}

std::vector<MarkupCommand> buildCommands() {
    using F = Format;
    std::vector<MarkupCommand> commands{
        wrap(F::Bold, "<B>", "</B>", "<b>", "</b>", 3),
        wrap(F::Italic, "<I>", "</I>", "<i>", "</i>", 3),
        wrap(F::Underline, "<U>", "</U>", "<u>", "</u>", 3),
        wrap(F::LeftJustify, "<P ALIGN=%1LEFT%1>", "</P>", "<p align=%1left%1>", "</p>", 16),
        wrap(F::Center, "<CENTER>", "</CENTER>", "<center>", "</center>", 8),
        wrap(F::RightJustify, "<P ALIGN=%1RIGHT%1>", "</P>", "<p align=%1right%1>", "</p>", 17),
        wrap(F::Heading1, "<H1>", "</H1>", "<h1>", "</h1>", 4),
        wrap(F::Heading2, "<H2>", "</H2>", "<h2>", "</h2>", 4),
        wrap(F::Heading3, "<H3>", "</H3>", "<h3>", "</h3>", 4),
        wrap(F::Heading4, "<H4>", "</H4>", "<h4>", "</h4>", 4),
        wrap(F::Heading5, "<H5>", "</H5>", "<h5>", "</h5>", 4),
        wrap(F::Heading6, "<H6>", "</H6>", "<h6>", "</h6>", 4),
        wrap(F::Strong, "<STRONG>", "</STRONG>", "<strong>", "</strong>", 8),
        wrap(F::Bigger, "<BIG>", "</BIG>", "<big>", "</big>", 5),
        wrap(F::Smaller, "<SMALL>", "</SMALL>", "<small>", "</small>", 7),
        wrap(F::FontSizeUp, "<FONT SIZE=%1+1%1>", "</FONT>", "<font size=%1+1%1>", "</font>", 16),
        wrap(F::FontSizeDown, "<FONT SIZE=%1-1%1>", "</FONT>", "<font size=%1-1%1>", "</font>", 16),
        insert(F::Paragraph, "<P>", "<p>"),
        insert(F::LineBreak, "<BR>", "<br>"),
        insert(F::NonBreakingSpace, "&nbsp;", "&nbsp;"),
        // Comment markers have one form in both tag cases.
        wrap(F::Comment, "<!-- ", " -->", "<!-- ", " -->", 5),
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (static_cast<std::size_t>(commands[i].format) != i)
            qFatal("formatting commands: row %zu is out of order", i);
    }
    return commands;
}

} // namespace

const std::vector<MarkupCommand> &markupCommands() {
    static const std::vector<MarkupCommand> commands = buildCommands();
    return commands;
}

const MarkupCommand &markupCommand(Format format) {
    return markupCommands().at(static_cast<std::size_t>(format));
}

void runMarkupCommand(InsertionCore &core, const MarkupCommand &command) {
    // The tag case is read once, after the selection is known and before anything goes in.
    const bool upper = core.IsUpperTagCase();
    const QString open = QString(upper ? command.upperOpen : command.lowerOpen)
                             .replace(QLatin1String("%1"), core.attributeQuote());
    if (command.kind == MarkupCommand::Wrap)
        core.WrapSelection(open, upper ? command.upperClose : command.lowerClose, command.step);
    else
        core.InsertAtCaret(open);
    core.FocusEditor();
}

} // namespace vellumo
