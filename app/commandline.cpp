#include "commandline.h"

#include <QCommandLineParser>

namespace kv::app {

namespace {

// Options that QGuiApplication and QApplication take out of the command line.
struct ToolkitOption {
    const char* name;
    const char* value;  // nothing for a switch
    const char* help;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", "name", "The windowing system plugin (xcb, wayland, offscreen)"},
    {"platformpluginpath", "path", "A folder of platform plugins"},
    {"platformtheme", "name", "The platform theme"},
    {"plugin", "name", "An extra generic plugin"},
    {"qwindowgeometry", "geometry", "The first window's geometry"},
    {"geometry", "geometry", "The same, on X11"},
    {"qwindowicon", "file", "The windows' icon"},
    {"qwindowtitle", "title", "The first window's title"},
    {"display", "name", "The X11 display"},
    {"style", "name", "The widget style (Fusion, Windows)"},
    {"stylesheet", "file", "A style sheet for every widget"},
    {"session", "id", "The session to restore"},
    {"reverse", nullptr, "Lays windows out right to left"},
    {"widgetcount", nullptr, "Prints the number of widgets left at the end"},
    {"nograb", nullptr, "Never grabs the mouse or keyboard"},
    {"dograb", nullptr, "Grabs them even under a debugger"},
    {"sync", nullptr, "Talks to the X11 server synchronously"},
};

// The desktop entry's actions: what they open in the running program.
struct WindowOption {
    const char* name;
    const char* command;
    const char* help;
};
constexpr WindowOption kWindowOptions[] = {
    {"editor", "editor", "Opens the editor (of the running program, if any)"},
    {"new-entry", "new", "Opens a new entry"},
    {"configuration", "configuration", "Opens the configuration"},
};

void addWindowOptions(QCommandLineParser& parser) {
    for (const WindowOption& o : kWindowOptions)
        parser.addOption(QCommandLineOption(o.name, o.help));
}

void addToolkitOptions(QCommandLineParser& parser, bool shown) {
    for (const ToolkitOption& o : kToolkitOptions) {
        QCommandLineOption option(o.name, o.help);
        if (o.value) option.setValueName(o.value);
        if (!shown) option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

QString helpText(bool withToolkit, const QString& commands) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Kalvex4 reminds you of dates: it lives in the notification area and shows a message\n"
        "window for every entry of your logs that falls due. Started again while it runs,\n"
        "it opens the running one's editor and ends.");
    parser.addHelpOption();
    parser.addVersionOption();
    addWindowOptions(parser);
    addToolkitOptions(parser, withToolkit);
    return parser.helpText() + (commands.isEmpty() ? QString() : "\n" + commands);
}

}  // namespace

std::optional<CommandLineAnswer> answerArguments(const QStringList& arguments,
                                                 const QString& commands) {
    if (arguments.size() < 2) return std::nullopt;  // the usual start, from the session
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    addWindowOptions(parser);
    addToolkitOptions(parser, false);
    const QString program = "kalvex4";
    const QString tryHelp = "Try \"" + program + " --help\" for the options.\n";
    if (!parser.parse(arguments))
        return CommandLineAnswer{2, {}, program + ": " + parser.errorText() + "\n" + tryHelp};
    if (!parser.positionalArguments().isEmpty())
        return CommandLineAnswer{2,
                                 {},
                                 program + ": unknown argument \"" +
                                     parser.positionalArguments().first() + "\"\n" + tryHelp};
    if (parser.isSet("help-all")) return CommandLineAnswer{0, helpText(true, commands), {}};
    if (parser.isSet(help)) return CommandLineAnswer{0, helpText(false, commands), {}};
    if (parser.isSet(version)) return CommandLineAnswer{0, program + " " + KV_VERSION + "\n", {}};
    return std::nullopt;
}

QString startCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addWindowOptions(parser);
    addToolkitOptions(parser, false);
    parser.parse(arguments);
    for (const WindowOption& o : kWindowOptions)
        if (parser.isSet(o.name)) return o.command;
    return {};
}

}  // namespace kv::app
