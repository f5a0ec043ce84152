// The program folder: the executable's folder, or --home DIR / ZOLT7_HOME.
#pragma once

#include <string>

namespace emtask {

// Takes "--home DIR" from the arguments (removing it), else ZOLT7_HOME, else
// the executable's folder.
void InitProgramFolder(int& argc, char** argv);
void SetProgramFolder(const std::string& dir);
const std::string& ProgramFolder();

std::string ConfDir();          // <program folder>/conf
std::string DataDir();          // <program folder>/data
std::string JpegDir();          // <program folder>/data/jpeg
std::string ConfigPath();       // conf/config.conf
std::string UserInfoPath();     // conf/userinfo.conf
std::string MeasureLogPath();   // data/measurelog.dat
std::string PrintFormationPath();  // conf/printformation.jpg

}  // namespace emtask
