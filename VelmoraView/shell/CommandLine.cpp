#include "shell/CommandLine.h"

#include "ProgramFolder.h"
#include "messaging/Diagnostics.h"
#include "records/SealAuditCommand.h"
#include "shell/CVelmoraViewApp.h"
#include "shell/Version.h"

#include <QCommandLineParser>
#include <cstdio>

namespace shell {

namespace {

enum class Opt { Help, Version, Home, Audit, Debug, QtOption };

struct OptionRow {
    Opt id;
    QStringList names;
    const char* valueName;  // nullptr: a switch
    const char* help;       // nullptr: accepted but not listed
};

// Every option the program takes, once. The toolkit's own -platform,
// -display and -style are let through to it.
const std::vector<OptionRow>& Options()
{
    static const std::vector<OptionRow> rows = {
        {Opt::Help, {"h", "help"}, nullptr, "Show this help and exit."},
        {Opt::Version, {"version"}, nullptr, "Show the program's version and exit."},
        {Opt::Home, {"home"}, "DIR", "Use DIR as the program folder (see below)."},
        {Opt::Audit, {"audit"}, nullptr, "Check the test log against its seal ledger, no window."},
        {Opt::Debug, {"debug"}, nullptr, "Diagnostic output (frames, file errors) on standard error."},
        {Opt::QtOption, {"platform"}, "NAME", nullptr},
        {Opt::QtOption, {"display"}, "NAME", nullptr},
        {Opt::QtOption, {"style"}, "NAME", nullptr},
    };
    return rows;
}

QCommandLineOption MakeOption(const OptionRow& row)
{
    QCommandLineOption o(row.names);
    if (row.valueName) o.setValueName(QString::fromLatin1(row.valueName));
    if (row.help)
        o.setDescription(QString::fromUtf8(row.help));
    else
        o.setFlags(QCommandLineOption::HiddenFromHelp);
    return o;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    // "-platform xcb" is one option, as the toolkit takes it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionRow& row : Options()) parser.addOption(MakeOption(row));
    CommandLine cl;
    if (!parser.parse(args)) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = parser.errorText();
        return cl;
    }
    if (!parser.positionalArguments().isEmpty()) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
        return cl;
    }
    auto isSet = [&](Opt id) {
        for (const OptionRow& row : Options())
            if (row.id == id && parser.isSet(row.names.last())) return true;
        return false;
    };
    cl.debug = isSet(Opt::Debug);
    if (isSet(Opt::Home)) {
        cl.home = parser.value(QStringLiteral("home"));
        if (cl.home.isEmpty()) {
            cl.mode = CommandLine::Mode::Error;
            cl.error = QStringLiteral("--home needs a folder.");
            return cl;
        }
    }
    if (isSet(Opt::Help))
        cl.mode = CommandLine::Mode::Help;
    else if (isSet(Opt::Version))
        cl.mode = CommandLine::Mode::Version;
    else if (isSet(Opt::Audit))
        cl.mode = CommandLine::Mode::Audit;
    return cl;
}

QString HelpText()
{
    QString text = QStringLiteral(
        "Usage: VelmoraView [options]\n"
        "The ZOLT7 companion: breath tests on the instrument with a photograph, the test log,\n"
        "reports, archives and the user register.\n\nOptions:\n");
    for (const OptionRow& row : Options()) {
        if (!row.help) continue;
        QString names;
        for (const QString& n : row.names)
            names += (names.isEmpty() ? QString() : QStringLiteral(", ")) +
                     (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        if (row.valueName) names += QLatin1Char(' ') + QString::fromLatin1(row.valueName);
        text += QStringLiteral("  %1  %2\n").arg(names, -14).arg(QString::fromUtf8(row.help));
    }
    text += QStringLiteral(
        "\nProgram folder (settings, users, test log, photographs), the first that applies:\n"
        "  --home DIR; $ZOLT7_HOME; the executable's folder when it holds a file named\n"
        "  'portable'; otherwise $XDG_DATA_HOME/zolt7 (~/.local/share/zolt7), made at first start.\n");
    return text;
}

int RunProgram(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = ParseCommandLine(args);
    switch (cl.mode) {
    case CommandLine::Mode::Help: std::fputs(HelpText().toLocal8Bit().constData(), stdout); return 0;
    case CommandLine::Mode::Version: std::printf("VelmoraView %s\n", ProgramVersion()); return 0;
    case CommandLine::Mode::Error:
        std::fprintf(stderr, "VelmoraView: %s\nTry 'VelmoraView --help' for the options.\n",
                     cl.error.toLocal8Bit().constData());
        return 2;
    case CommandLine::Mode::Audit:
    case CommandLine::Mode::Window: break;
    }
    emtask::SetProgramFolder(cl.home.isEmpty() ? emtask::DefaultProgramFolder()
                                               : cl.home.toLocal8Bit().toStdString());
    SetDiagnostics(cl.debug);
    // The audit runs without a window and without the program folder's lock.
    if (cl.mode == CommandLine::Mode::Audit) return records::RunAuditCommand();
    CVelmoraViewApp app(argc, argv, lcZolt7().isDebugEnabled());
    return app.Run();
}

}  // namespace shell
