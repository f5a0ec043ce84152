// The command line: each form's mode and values, and that --help, --version
// and a wrong option answer without a display and without writing a file.
#include "RunCommand.h"
#include "shell/CommandLine.h"
#include "shell/Version.h"
#include "DebugLog.h"
#include "messaging/Diagnostics.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

using Mode = shell::CommandLine::Mode;

TEST(CommandLine, Modes)
{
    struct Case {
        QStringList args;
        Mode mode;
        QString home;
        bool debug;
    };
    const Case cases[] = {
        {{}, Mode::Window, {}, false},
        {{"-h"}, Mode::Help, {}, false},
        {{"--version", "--home", "/d"}, Mode::Version, "/d", false},
        {{"--audit", "--home", "/d"}, Mode::Audit, "/d", false},
        {{"--home=/d", "--debug"}, Mode::Window, "/d", true},
        {{"-platform", "offscreen"}, Mode::Window, {}, false},  // the toolkit's own
        {{"--help", "--bogus"}, Mode::Error, {}, false},
        {{"-x"}, Mode::Error, {}, false},
        {{"stray"}, Mode::Error, {}, false},
        {{"--home"}, Mode::Error, {}, false},
        {{"--home="}, Mode::Error, {}, false},
        {{"--verify-code", "6", "AB", "CD"}, Mode::VerifyCode, {}, false},
        {{"--verify-code", "6"}, Mode::Error, {}, false},
        {{"--begin-seal", "--key-sheet", "k"}, Mode::BeginSeal, {}, false},
        {{"--begin-seal"}, Mode::Error, {}, false},
        {{"--key-sheet", "k"}, Mode::Error, {}, false},
        {{"--audit", "--begin-seal", "--key-sheet", "k"}, Mode::Error, {}, false},
        {{"--audit", "--accept-unsealed-before", "-1"}, Mode::Error, {}, false},
        {{"--export-checkpoint", "c", "--checkpoint", "c"}, Mode::Error, {}, false},
        {{"--sync", "--central", "postgresql:///z", "--station", "s", "--home", "/d"},
         Mode::Sync,
         "/d",
         false},
        {{"--central", "postgresql:///z"}, Mode::Error, {}, false},
        {{"--sync", "--station="}, Mode::Error, {}, false},
        {{"--sync", "--audit"}, Mode::Error, {}, false},
    };
    for (const Case& c : cases) {
        const shell::CommandLine cl = shell::ParseCommandLine(QStringList{"VelmoraView"} + c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(cl.mode, c.mode) << what;
        if (c.mode == Mode::Error) {
            EXPECT_FALSE(cl.error.isEmpty()) << what;
            continue;
        }
        EXPECT_EQ(cl.home, c.home) << what;
        EXPECT_EQ(cl.debug, c.debug) << what;
    }
}

TEST(CommandLine, AnswersWithoutDisplayOrFiles)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "zolt7-cli-XXXXXX";
    std::string tmpl = home.string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const std::string bin = std::string(ZOLT7_BUILD_BIN_DIR) + "/VelmoraView";
    struct Case {
        const char* args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {"--help", 0, "--audit"},
        {"--version", 0, std::string("VelmoraView ") + ProgramVersion() + "\n"},
        {"--bogus", 2, ""},
    };
    for (const Case& c : cases) {
        // No display, an empty home, no ZOLT7_HOME; the current folder is the home.
        const std::string cmd = "cd " + tmpl + " && env -i PATH=/usr/bin:/bin HOME=" + tmpl + " " + bin +
                                " " + c.args + " 2>/dev/null";
        std::string out;
        const int status = RunCommand(cmd, &out);
        EXPECT_EQ(status, c.status) << c.args;
        if (std::string(c.args) == "--version")
            EXPECT_EQ(out, c.out);
        else
            EXPECT_NE(out.find(c.out), std::string::npos) << c.args << ": " << out;
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmpl)) << "files were written";
    std::filesystem::remove_all(tmpl);
}

TEST(CommandLine, DiagnosticsOnlyWhenAsked)
{
    // A normal run keeps frames and file errors off standard error.
    SetDiagnostics(false);
    EXPECT_EQ(g_DebugLevel, 0);
    EXPECT_FALSE(lcZolt7().isDebugEnabled());
    EXPECT_TRUE(lcZolt7().isWarningEnabled());
    SetDiagnostics(true);
    EXPECT_EQ(g_DebugLevel, 1);
    EXPECT_TRUE(lcZolt7().isDebugEnabled());
    QLoggingCategory::setFilterRules(QString());
    g_DebugLevel = 0;
}
