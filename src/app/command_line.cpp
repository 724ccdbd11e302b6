#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace vellumo {

namespace {

// The parser with every option and its text from the one list the manual page
// is made from too.
void describe(QCommandLineParser &parser) {
    parser.setApplicationDescription(QStringLiteral("Vellumo, an HTML source editor."));
    auto option = [](const char *shortName, const char *longName, const char *valueName,
                     const char *description) {
        QStringList names;
        if (*shortName != '\0')
            names << QString::fromLatin1(shortName);
        names << QString::fromLatin1(longName);
        return QCommandLineOption(names, QString::fromUtf8(description),
                                  QString::fromLatin1(valueName));
    };
#define VELLUMO_OPTION(shortName, longName, valueName, description)                                \
    parser.addOption(option(shortName, longName, valueName, description));
#define VELLUMO_ARGUMENT(name, syntax, description)                                                \
    parser.addPositionalArgument(QStringLiteral(name), QString::fromUtf8(description),             \
                                 QStringLiteral(syntax));
#include "app/command_line_options.inc"
#undef VELLUMO_OPTION
#undef VELLUMO_ARGUMENT
    // Qt's own options (-style Fusion, -platform offscreen) are read before the
    // application object takes them off the command line: accepted, not shown.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                             "stylesheet", "display", "geometry", "session", "name", "title"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    describe(parser);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    line.help = parser.isSet(QStringLiteral("help"));
    line.version = parser.isSet(QStringLiteral("version"));
    line.screenshot = parser.value(QStringLiteral("screenshot"));
    line.files = parser.positionalArguments();
    for (const QString &file : std::as_const(line.files)) {
        if (QFileInfo(file).isDir()) {
            line.error =
                QStringLiteral("%1 is a folder, not a page.").arg(QDir::toNativeSeparators(file));
            break;
        }
    }
    return line;
}

QString commandLineHelp() {
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}

QString versionText() {
    return QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                         QCoreApplication::applicationVersion());
}

int answerWithoutWindow(const CommandLine &line) {
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "vellumo: %s\nTry 'vellumo --help' for the options.\n",
                     qPrintable(line.error));
        return CommandLineErrorExit;
    }
    std::fputs(qPrintable(line.help ? commandLineHelp() : versionText()), stdout);
    return 0;
}

} // namespace vellumo
