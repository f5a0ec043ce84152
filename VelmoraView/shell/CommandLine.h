// The command line, read before anything else exists: --help and --version
// answer without a display and without touching a file; every mode of the
// program is dispatched from RunProgram.
#pragma once

#include <QString>
#include <QStringList>

namespace shell {

struct CommandLine {
    enum class Mode { Window, Help, Version, Audit, BeginSeal, VerifyCode, ExportCheckpoint, Sync, Error };
    Mode mode = Mode::Window;
    QString home;  // --home DIR, empty when not given
    bool debug = false;
    QString error;  // for Mode::Error
    // The seal's commands.
    QString keySheet, checkpoint, exportFile;
    int32_t acceptUnsealedBefore = 0;
    QString verifyTestNo, verifyCode;  // --verify-code N CODE
    QString central, station;          // --sync's overrides, empty when not given
};

// `args` as argv, the program's name first.
CommandLine ParseCommandLine(const QStringList& args);
QString HelpText();

// main(): parses, then prints help or version, runs the audit, or starts the
// program. Exit status 2 for a command line it does not understand.
int RunProgram(int argc, char** argv);

}  // namespace shell
