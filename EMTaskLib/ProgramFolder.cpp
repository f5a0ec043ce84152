#include "ProgramFolder.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace emtask {

namespace {
std::string g_folder;

std::string ExecutableFolder()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    buf[n] = 0;
    std::string path(buf);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}
}  // namespace

void SetProgramFolder(const std::string& dir)
{
    g_folder = dir;
    while (g_folder.size() > 1 && g_folder.back() == '/') g_folder.pop_back();
}

void InitProgramFolder(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        std::string dir;
        int take = 0;
        if (std::strcmp(a, "--home") == 0 && i + 1 < argc) {
            dir = argv[i + 1];
            take = 2;
        } else if (std::strncmp(a, "--home=", 7) == 0) {
            dir = a + 7;
            take = 1;
        }
        if (take) {
            SetProgramFolder(dir);
            for (int j = i; j + take <= argc; ++j) argv[j] = argv[j + take];
            argc -= take;
            return;
        }
    }
    if (const char* env = std::getenv("ZOLT7_HOME"); env && *env) {
        SetProgramFolder(env);
        return;
    }
    SetProgramFolder(ExecutableFolder());
}

const std::string& ProgramFolder()
{
    if (g_folder.empty()) SetProgramFolder(ExecutableFolder());
    return g_folder;
}

std::string ConfDir() { return ProgramFolder() + "/conf"; }
std::string DataDir() { return ProgramFolder() + "/data"; }
std::string JpegDir() { return DataDir() + "/jpeg"; }
std::string ConfigPath() { return ConfDir() + "/config.conf"; }
std::string UserInfoPath() { return ConfDir() + "/userinfo.conf"; }
std::string MeasureLogPath() { return DataDir() + "/measurelog.dat"; }
std::string PrintFormationPath() { return ConfDir() + "/printformation.jpg"; }

}  // namespace emtask
