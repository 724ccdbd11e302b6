#include "markup/format_commands.h"

#include "editor/insertion_core.h"
#include "widgets/glyph_icon.h"

#include <QAbstractButton>
#include <QAction>
#include <QGridLayout>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QToolButton>
#include <QWidget>

namespace vellumo {

namespace {

MarkupCommand wrap(const char *handler, const char *upperOpen, const char *upperClose,
                   const char *lowerOpen, const char *lowerClose, int step, QStringList controls) {
    return {QString::fromLatin1(handler),
            MarkupCommand::Wrap,
            QString::fromLatin1(upperOpen),
            QString::fromLatin1(upperClose),
            QString::fromLatin1(lowerOpen),
            QString::fromLatin1(lowerClose),
            step,
            std::move(controls)};
}

MarkupCommand insert(const char *handler, const char *upper, const char *lower,
                     QStringList controls) {
    return {QString::fromLatin1(handler),
            MarkupCommand::Insert,
            QString::fromLatin1(upper),
            QString(),
            QString::fromLatin1(lower),
            QString(),
            0,
            std::move(controls)};
}

QStringList names(std::initializer_list<const char *> list) {
    QStringList result;
    for (const char *name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

std::vector<MarkupCommand> buildCommands() {
    std::vector<MarkupCommand> commands{
        wrap("ToolbarButton9711Click", "<B>", "</B>", "<b>", "</b>", 3,
             names({"ToolbarButton9711", "ToolbarButton97114", "Bold1", "Bold2"})),
        wrap("ToolbarButton9713Click", "<I>", "</I>", "<i>", "</i>", 3,
             names({"ToolbarButton9713", "ToolbarButton97115", "Italic1", "Italic2"})),
        wrap("ToolbarButton9712Click", "<U>", "</U>", "<u>", "</u>", 3,
             names({"ToolbarButton9712", "ToolbarButton97116", "Underlined1", "Underlined2"})),
        // The editor menu's Left Justify, Center and Right Justify run the commands their
        // captions name rather than sitting in the menu doing nothing.
        wrap("ToolbarButton9726Click", "<P ALIGN=%1LEFT%1>", "</P>", "<p align=%1left%1>", "</p>",
             16,
             names({"ToolbarButton9726", "ToolbarButton97117", "LeftJustify1", "LeftJustify2"})),
        wrap("ToolbarButton9714Click", "<CENTER>", "</CENTER>", "<center>", "</center>", 8,
             names({"ToolbarButton9714", "ToolbarButton97118", "Center1", "Center2"})),
        wrap("ToolbarButton9718Click", "<P ALIGN=%1RIGHT%1>", "</P>", "<p align=%1right%1>", "</p>",
             17,
             names({"ToolbarButton9718", "ToolbarButton97119", "RightJustify1", "RightJustify2"})),
        wrap("ToolbarButton9719Click", "<H1>", "</H1>", "<h1>", "</h1>", 4,
             names({"ToolbarButton9719"})),
        wrap("ToolbarButton9720Click", "<H2>", "</H2>", "<h2>", "</h2>", 4,
             names({"ToolbarButton9720"})),
        wrap("ToolbarButton9721Click", "<H3>", "</H3>", "<h3>", "</h3>", 4,
             names({"ToolbarButton9721"})),
        wrap("ToolbarButton9722Click", "<H4>", "</H4>", "<h4>", "</h4>", 4,
             names({"ToolbarButton9722"})),
        wrap("ToolbarButton9723Click", "<H5>", "</H5>", "<h5>", "</h5>", 4,
             names({"ToolbarButton9723"})),
        wrap("ToolbarButton9724Click", "<H6>", "</H6>", "<h6>", "</h6>", 4,
             names({"ToolbarButton9724"})),
        wrap("ToolbarButton9725Click", "<STRONG>", "</STRONG>", "<strong>", "</strong>", 8,
             names({"ToolbarButton9725", "ToolbarButton97122", "Strong1"})),
        wrap("ToolbarButton9727Click", "<BIG>", "</BIG>", "<big>", "</big>", 5,
             names({"ToolbarButton9727", "IncreaseTextSize1"})),
        wrap("ToolbarButton9728Click", "<SMALL>", "</SMALL>", "<small>", "</small>", 7,
             names({"ToolbarButton9728", "DecreaseTextSize1"})),
        wrap("ToolbarButton97129Click", "<FONT SIZE=%1+1%1>", "</FONT>", "<font size=%1+1%1>",
             "</font>", 16, names({"ToolbarButton97129"})),
        wrap("ToolbarButton97128Click", "<FONT SIZE=%1-1%1>", "</FONT>", "<font size=%1-1%1>",
             "</font>", 16, names({"ToolbarButton97128"})),
        insert("ToolbarButton9715Click", "<P>", "<p>",
               names({"ToolbarButton9715", "Paragraph2", "Paragraph1"})),
        insert("ToolbarButton9716Click", "<BR>", "<br>",
               names({"ToolbarButton9716", "ToolbarButton97120", "LineBreak1"})),
        insert("ToolbarButton9717Click", "&nbsp;", "&nbsp;",
               names({"ToolbarButton9717", "ToolbarButton97121"})),
        // Comment markers have one form in both tag cases.
        wrap("ToolbarButton97143Click", "<!-- ", " -->", "<!-- ", " -->", 5,
             names({"ToolbarButton97143", "ToolbarButton97144"})),
    };
    return commands;
}

// Four lines of text set flush left, centred or flush right.
QIcon alignmentIcon(Qt::Alignment alignment) {
    QIcon icon;
    for (const int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const int unit = side / 16;
        const int lengths[] = {12, 8, 12, 8};
        for (int line = 0; line < 4; ++line) {
            const int length = lengths[line] * unit;
            int left = 2 * unit;
            if (alignment & Qt::AlignHCenter)
                left = (side - length) / 2;
            else if (alignment & Qt::AlignRight)
                left = side - 2 * unit - length;
            painter.fillRect(left, (3 + 3 * line) * unit, length, unit, Qt::black);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

ButtonFace textFace(const QString &caption, const QColor &colour) {
    ButtonFace face;
    face.caption = caption;
    face.colour = colour;
    face.bold = true;
    return face;
}

ButtonFace iconFace(const QIcon &icon) {
    ButtonFace face;
    face.icon = icon;
    return face;
}

struct PaletteButton {
    const char *objectName;
    const char *toolTip;
};

// The "Fonts" page in palette order: eight buttons in the first row, five in the second.
constexpr PaletteButton FontsPageButtons[] = {
    {"ToolbarButton9727", "Increase Text Size"},
    {"ToolbarButton9728", "Decrease Text Size"},
    {"ToolbarButton97114", "Bold"},
    {"ToolbarButton97115", "Italic"},
    {"ToolbarButton97116", "Underlined"},
    {"ToolbarButton97117", "Left Justify"},
    {"ToolbarButton97118", "Center"},
    {"ToolbarButton97119", "Right Justify"},
    {"ToolbarButton97120", "Break"},
    {"ToolbarButton97121", "Non-breaking space"},
    {"ToolbarButton97122", "Strong"},
    {"ToolbarButton97129", "Increase Text Size"},
    {"ToolbarButton97128", "Decrease Text Size - 1"},
};

} // namespace

const std::vector<MarkupCommand> &markupCommands() {
    static const std::vector<MarkupCommand> commands = buildCommands();
    return commands;
}

const MarkupCommand *findMarkupCommand(const QString &handler) {
    for (const MarkupCommand &command : markupCommands()) {
        if (command.handler == handler)
            return &command;
    }
    return nullptr;
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

QStringList bindMarkupCommands(QWidget *root, InsertionCore &core) {
    QStringList missing;
    for (const MarkupCommand &command : markupCommands()) {
        const auto run = [&core, &command] { runMarkupCommand(core, command); };
        for (const QString &name : command.controls) {
            bool bound = false;
            for (QAction *action : root->findChildren<QAction *>(name)) {
                QObject::connect(action, &QAction::triggered, &core, run);
                bound = true;
            }
            for (QAbstractButton *button : root->findChildren<QAbstractButton *>(name)) {
                const auto *toolButton = qobject_cast<QToolButton *>(button);
                if (toolButton && toolButton->defaultAction())
                    continue; // runs through its action
                QObject::connect(button, &QAbstractButton::clicked, &core, run);
                bound = true;
            }
            if (!bound)
                missing.append(name);
        }
    }
    return missing;
}

ButtonFace formattingButtonFace(const QString &objectName) {
    static const QHash<QString, ButtonFace> faces = [] {
        const QColor navy(0, 0, 128);
        QHash<QString, ButtonFace> table;
        // Each face once, under every button that shows it.
        const auto add = [&table](std::initializer_list<const char *> buttons,
                                  const ButtonFace &face) {
            for (const char *name : buttons)
                table.insert(QString::fromLatin1(name), face);
        };
        add({"ToolbarButton9711", "ToolbarButton97114"}, iconFace(glyphIcon(QStringLiteral("B"))));
        add({"ToolbarButton9713", "ToolbarButton97115"},
            iconFace(glyphIcon(QStringLiteral("I"), Qt::black, true, true)));
        add({"ToolbarButton9712", "ToolbarButton97116"},
            iconFace(glyphIcon(QStringLiteral("U"), Qt::black, true, false, true)));
        add({"ToolbarButton9726", "ToolbarButton97117"}, iconFace(alignmentIcon(Qt::AlignLeft)));
        add({"ToolbarButton9714", "ToolbarButton97118"}, iconFace(alignmentIcon(Qt::AlignHCenter)));
        add({"ToolbarButton9718", "ToolbarButton97119"}, iconFace(alignmentIcon(Qt::AlignRight)));
        add({"ToolbarButton9715"}, iconFace(glyphIcon(QString(QChar(0x00B6))))); // pilcrow
        add({"ToolbarButton9716", "ToolbarButton97120"}, textFace(QStringLiteral("BR"), navy));
        add({"ToolbarButton9717", "ToolbarButton97121"}, textFace(QStringLiteral("NB"), navy));
        add({"ToolbarButton9725", "ToolbarButton97122"}, textFace(QStringLiteral("S"), Qt::black));
        add({"ToolbarButton9727"}, iconFace(glyphIcon(QStringLiteral("A+"), navy)));
        add({"ToolbarButton9728"}, iconFace(glyphIcon(QStringLiteral("a-"), navy)));
        add({"ToolbarButton97129"}, textFace(QStringLiteral("F+"), navy));
        add({"ToolbarButton97128"}, textFace(QStringLiteral("F-"), navy));
        add({"ToolbarButton97143", "ToolbarButton97144"},
            iconFace(glyphIcon(QStringLiteral("<!>"), Qt::darkGreen)));
        const char *headings[] = {"ToolbarButton9719", "ToolbarButton9720", "ToolbarButton9721",
                                  "ToolbarButton9722", "ToolbarButton9723", "ToolbarButton9724"};
        for (int level = 1; level <= 6; ++level)
            add({headings[level - 1]}, textFace(QStringLiteral("H%1").arg(level), Qt::red));
        return table;
    }();
    return faces.value(objectName);
}

void populateFontsPage(QWidget *page) {
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(0);
    int index = 0;
    for (const PaletteButton &row : FontsPageButtons) {
        const QString name = QString::fromLatin1(row.objectName);
        addToPaletteGrid(grid,
                         makeFlatButton(page, name, QString::fromLatin1(row.toolTip),
                                        formattingButtonFace(name)),
                         index++);
    }
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(8, 1);
}

} // namespace vellumo
