#include "ProgramFolder.h"

#include "EMTaskData.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emtask {

namespace {
std::string g_folder;
int g_lockFd = -1;

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

std::string DefaultProgramFolder() { return DefaultProgramFolder(ExecutableFolder()); }

std::string DefaultProgramFolder(const std::string& exe)
{
    if (const char* env = std::getenv("ZOLT7_HOME"); env && *env) return env;
    struct stat st;
    if (stat((exe + "/portable").c_str(), &st) == 0 && S_ISREG(st.st_mode)) return exe;
    // XDG Base Directory: a relative XDG_DATA_HOME is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return std::string(xdg) + "/zolt7";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "";
    }
    return std::string(home) + "/.local/share/zolt7";
}

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
    SetProgramFolder(DefaultProgramFolder());
}

const std::string& ProgramFolder()
{
    if (g_folder.empty()) SetProgramFolder(DefaultProgramFolder());
    return g_folder;
}

std::string ConfDir() { return ProgramFolder() + "/conf"; }
std::string DataDir() { return ProgramFolder() + "/data"; }
std::string JpegDir() { return DataDir() + "/jpeg"; }
std::string ConfigPath() { return ConfDir() + "/config.conf"; }
std::string UserInfoPath() { return ConfDir() + "/userinfo.conf"; }
std::string MeasureLogPath() { return DataDir() + "/measurelog.dat"; }
std::string SealLedgerPath() { return DataDir() + "/seal.log"; }
std::string PrintFormationPath() { return ConfDir() + "/printformation.jpg"; }
std::string LockPath() { return ProgramFolder() + "/velmoraview.lock"; }

bool LockProgramFolder(bool* inUse, std::string* why)
{
    if (inUse) *inUse = false;
    if (g_lockFd >= 0) return true;
    const std::string path = LockPath();
    MakeDirectory(ProgramFolder());
    // The file holds nothing: only the lock on it counts, and the system
    // drops that lock with the process, however it ends.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        if (why) *why = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        close(fd);
        if (e == EWOULDBLOCK) {
            if (inUse) *inUse = true;
            if (why) *why = ProgramFolder() + " is in use by another running ZOLT7 program";
        } else if (why) {
            *why = "cannot lock " + path + ": " + std::strerror(e);
        }
        return false;
    }
    g_lockFd = fd;
    return true;
}

void UnlockProgramFolder()
{
    if (g_lockFd < 0) return;
    close(g_lockFd);
    g_lockFd = -1;
}

}  // namespace emtask
