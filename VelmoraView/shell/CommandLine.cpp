#include "shell/CommandLine.h"

#include "ProgramFolder.h"
#include "central/CentralAudit.h"
#include "central/CentralSync.h"
#include "messaging/Diagnostics.h"
#include "records/SealAuditCommand.h"
#include "shell/CVelmoraViewApp.h"
#include "shell/Version.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace shell {

namespace {

enum class Opt {
    Help,
    Version,
    Home,
    Audit,
    AcceptUnsealed,
    KeySheet,
    Checkpoint,
    BeginSeal,
    VerifyCode,
    ExportCheckpoint,
    Sync,
    Central,
    Station,
    Debug,
    QtOption
};

struct OptionRow {
    Opt id;
    QStringList names;
    const char* valueName;  // nullptr: a switch
    const char* help;       // nullptr: accepted but not listed
    // A value that must not be empty, stored into `into`, given only with one
    // of `with` (any command when empty); `misuse` says so otherwise.
    QString CommandLine::*into = nullptr;
    std::vector<Opt> with = {};
    const char* misuse = nullptr;
};

// Every option the program takes, once. The toolkit's own -platform,
// -display and -style are let through to it.
const std::vector<OptionRow>& Options()
{
    static const std::vector<OptionRow> rows = {
        {Opt::Help, {"h", "help"}, nullptr, "Show this help and exit."},
        {Opt::Version, {"version"}, nullptr, "Show the program's version and exit."},
        {Opt::Home,
         {"home"},
         "DIR",
         "Use DIR as the program folder (see below).",
         &CommandLine::home,
         {},
         "--home needs a folder."},
        {Opt::Audit, {"audit"}, nullptr, "Check the test log against its seal ledger, no window."},
        {Opt::AcceptUnsealed,
         {"accept-unsealed-before"},
         "N",
         "With --audit: tests numbered below N may be unsealed (stored before the ledger)."},
        {Opt::KeySheet,
         {"key-sheet"},
         "FILE",
         "With --audit: check every MAC from this key sheet. With --begin-seal: write it.",
         &CommandLine::keySheet,
         {Opt::Audit, Opt::BeginSeal},
         "--key-sheet FILE goes with --audit or --begin-seal."},
        {Opt::Checkpoint,
         {"checkpoint"},
         "FILE",
         "With --audit: the ledger must extend this checkpoint.",
         &CommandLine::checkpoint,
         {Opt::Audit},
         "--checkpoint FILE goes with --audit."},
        {Opt::BeginSeal,
         {"begin-seal"},
         nullptr,
         "Begin a new keyed seal ledger; its key sheet goes to --key-sheet FILE."},
        {Opt::VerifyCode, {"verify-code"}, "N CODE", "Check a printed seal code against test N's entry."},
        {Opt::ExportCheckpoint,
         {"export-checkpoint"},
         "FILE",
         "Write the ledger's checkpoint to FILE (keep it on another medium).",
         &CommandLine::exportFile,
         {},
         "--export-checkpoint needs a file."},
        {Opt::Sync, {"sync"}, nullptr, "Send every test not yet sent to the central database, no window."},
        {Opt::Central,
         {"central"},
         "URL",
         "With --sync: this connection string instead of the settings'. With --audit: also compare with the "
         "central copy there.",
         &CommandLine::central,
         {Opt::Sync, Opt::Audit},
         "--central goes with --sync or --audit and needs a value."},
        {Opt::Station,
         {"station"},
         "NAME",
         "With --sync or --audit --central: this station name.",
         &CommandLine::station,
         {Opt::Sync, Opt::Audit},
         "--station goes with --sync or --audit and needs a value."},
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
    auto isSet = [&](Opt id) {
        for (const OptionRow& row : Options())
            if (row.id == id && parser.isSet(row.names.last())) return true;
        return false;
    };
    auto fail = [&](const QString& why) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = why;
        return cl;
    };
    // --verify-code takes the code as what follows its number; spaces in it
    // are ignored as the check ignores them.
    QStringList rest = parser.positionalArguments();
    if (isSet(Opt::VerifyCode) && !rest.isEmpty()) {
        cl.verifyTestNo = parser.value(QStringLiteral("verify-code"));
        cl.verifyCode = rest.join(QString());
        rest.clear();
    }
    if (!rest.isEmpty()) return fail(QStringLiteral("Unexpected argument '%1'.").arg(rest.first()));
    cl.debug = isSet(Opt::Debug);
    // One command at most; the seal's options only with the commands they serve.
    int commands = 0;
    for (Opt c : {Opt::Audit, Opt::BeginSeal, Opt::VerifyCode, Opt::ExportCheckpoint, Opt::Sync})
        commands += isSet(c);
    if (commands > 1)
        return fail(
            QStringLiteral("--audit, --begin-seal, --verify-code, --export-checkpoint and --sync go alone."));
    for (const OptionRow& row : Options()) {
        if (!row.into || !parser.isSet(row.names.last())) continue;
        QString& value = cl.*row.into;
        value = parser.value(row.names.last());
        const bool withOne = row.with.empty() || std::any_of(row.with.begin(), row.with.end(), isSet);
        if (value.isEmpty() || !withOne) return fail(QString::fromLatin1(row.misuse));
    }
    if (isSet(Opt::BeginSeal) && cl.keySheet.isEmpty())
        return fail(QStringLiteral("--begin-seal needs --key-sheet FILE."));
    if (isSet(Opt::AcceptUnsealed)) {
        const QByteArray n = parser.value(QStringLiteral("accept-unsealed-before")).toLatin1();
        if (!isSet(Opt::Audit) || !records::ParseTestNumber(n.constData(), cl.acceptUnsealedBefore))
            return fail(QStringLiteral("--accept-unsealed-before N goes with --audit; N is a test number."));
    }
    if (isSet(Opt::VerifyCode) && cl.verifyCode.isEmpty())
        return fail(QStringLiteral("--verify-code needs a test number and the printed code."));
    if (isSet(Opt::Help))
        cl.mode = CommandLine::Mode::Help;
    else if (isSet(Opt::Version))
        cl.mode = CommandLine::Mode::Version;
    else if (isSet(Opt::Audit))
        cl.mode = CommandLine::Mode::Audit;
    else if (isSet(Opt::BeginSeal))
        cl.mode = CommandLine::Mode::BeginSeal;
    else if (isSet(Opt::VerifyCode))
        cl.mode = CommandLine::Mode::VerifyCode;
    else if (isSet(Opt::ExportCheckpoint))
        cl.mode = CommandLine::Mode::ExportCheckpoint;
    else if (isSet(Opt::Sync))
        cl.mode = CommandLine::Mode::Sync;
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
    default: break;
    }
    emtask::SetProgramFolder(cl.home.isEmpty() ? emtask::DefaultProgramFolder()
                                               : cl.home.toLocal8Bit().toStdString());
    SetDiagnostics(cl.debug);
    // The seal's commands and the sync run without a window; only beginning a
    // ledger takes the program folder's lock.
    const std::string folder = emtask::ProgramFolder();
    auto local = [](const QString& s) { return s.toLocal8Bit().toStdString(); };
    switch (cl.mode) {
    case CommandLine::Mode::Audit: {
        const int own = records::AuditCommand(folder, local(cl.keySheet), local(cl.checkpoint),
                                              cl.acceptUnsealedBefore);
        if (cl.central.isEmpty()) return own;
        // The worse of the two: could not vouch, then a finding, then clean.
        const int remote = central::CentralAuditCommand(folder, local(cl.central), local(cl.station));
        return std::max(own, remote);
    }
    case CommandLine::Mode::BeginSeal: return records::BeginSealCommand(folder, local(cl.keySheet));
    case CommandLine::Mode::VerifyCode:
        return records::VerifyCodeCommand(folder, local(cl.verifyTestNo), local(cl.verifyCode));
    case CommandLine::Mode::ExportCheckpoint:
        return records::ExportCheckpointCommand(folder, local(cl.exportFile));
    case CommandLine::Mode::Sync: return central::SyncCommand(folder, local(cl.central), local(cl.station));
    default: break;
    }
    CVelmoraViewApp app(argc, argv, lcZolt7().isDebugEnabled());
    return app.Run();
}

}  // namespace shell
