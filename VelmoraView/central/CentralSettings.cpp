#include "central/CentralSettings.h"

#include "EMTaskData.h"
#include "FileImage.h"

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <libpq-fe.h>
#include <unistd.h>

namespace central {

std::string CentralSettingsPath(const std::string& folder) { return folder + "/conf/central.conf"; }

bool ReadCentralSettings(const std::string& folder, CentralSettings& out, std::string& why)
{
    out = {};
    const std::string path = CentralSettingsPath(folder);
    uint64_t size = 0;
    const int fd = emtask::OpenRegularFile(path, &size);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        why = "cannot read " + path + ": " + emtask::ErrorText(errno);
        return false;
    }
    // A few short lines; anything longer is not ours.
    std::string text(std::min<uint64_t>(size, 64 * 1024), '\0');
    const ssize_t got = read(fd, text.data(), text.size());
    const int err = errno;
    close(fd);
    if (got < 0) {
        why = "cannot read " + path + ": " + emtask::ErrorText(err);
        return false;
    }
    text.resize(size_t(got));
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "url") out.url = value;
        if (key == "station") out.station = value;
        if (key == "enabled") out.enabled = value == "1";
    }
    return true;
}

std::string CheckCentralSettings(const CentralSettings& s)
{
    auto oneLine = [](const std::string& t) {
        return std::none_of(t.begin(), t.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; });
    };
    if (!oneLine(s.station)) return "the station name must be one line of printable text";
    if (!oneLine(s.url)) return "the connection string must be one line";
    if (s.url.empty()) return s.enabled ? "no connection string given" : std::string();
    char* err = nullptr;
    PQconninfoOption* opts = PQconninfoParse(s.url.c_str(), &err);
    if (!opts) {
        std::string why = "bad connection string: " + std::string(err ? err : "out of memory");
        PQfreemem(err);
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        return why;
    }
    bool password = false;
    for (PQconninfoOption* o = opts; o->keyword; ++o)
        if (std::string(o->keyword) == "password" && o->val && *o->val) password = true;
    PQconninfoFree(opts);
    if (password)
        return "the connection string holds a password; it is not stored in clear: put it in ~/.pgpass "
               "(or the connection's service file) and leave it out here";
    return {};
}

bool WriteCentralSettings(const std::string& folder, const CentralSettings& s, std::string& why)
{
    if (const std::string bad = CheckCentralSettings(s); !bad.empty()) {
        why = bad;
        return false;
    }
    const std::string path = CentralSettingsPath(folder);
    const std::string text = "url=" + s.url + "\nstation=" + s.station +
                             "\nenabled=" + (s.enabled ? "1" : "0") + "\n";
    emtask::MakeDirectory(folder + "/conf");
    if (emtask::AtomicWriteFile(path, text.data(), text.size())) return true;
    why = emtask::LastFileError();
    return false;
}

std::string StationName(const std::string& given)
{
    if (!given.empty()) return given;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return "station";
    return host;
}

}  // namespace central
