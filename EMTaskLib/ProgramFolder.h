// The program folder, in this order: --home DIR; ZOLT7_HOME; the executable's
// folder when it holds a file named "portable" (a build tree, a copy on a
// stick); else $XDG_DATA_HOME/zolt7 (~/.local/share/zolt7).
#pragma once

#include <string>

namespace emtask {

// Takes "--home DIR" from the arguments (removing it), else DefaultProgramFolder().
void InitProgramFolder(int& argc, char** argv);
// The folder without --home: ZOLT7_HOME, the portable executable's folder, or
// the per-user data folder. Creates nothing.
std::string DefaultProgramFolder();
// The same for an executable in `exeFolder`.
std::string DefaultProgramFolder(const std::string& exeFolder);
void SetProgramFolder(const std::string& dir);
const std::string& ProgramFolder();

std::string ConfDir();             // <program folder>/conf
std::string DataDir();             // <program folder>/data
std::string JpegDir();             // <program folder>/data/jpeg
std::string ConfigPath();          // conf/config.conf
std::string UserInfoPath();        // conf/userinfo.conf
std::string MeasureLogPath();      // data/measurelog.dat
std::string SealLedgerPath();      // data/seal.log
std::string PrintFormationPath();  // conf/printformation.jpg
std::string LockPath();            // velmoraview.lock

// Holds an exclusive lock (flock) on the program folder's lock file for the
// rest of the process, creating the folder and the file when missing. False
// when it cannot: `inUse` tells whether another process holds it, `why` says
// what went wrong. A second call while the lock is held returns true.
bool LockProgramFolder(bool* inUse, std::string* why);
// Lets the lock go (tests).
void UnlockProgramFolder();

}  // namespace emtask
