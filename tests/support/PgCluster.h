// A throwaway PostgreSQL cluster of the Debian package's programs, listening
// only on a Unix socket in its own temporary folder; stopped and removed when
// dropped. Run as the postgres user when the tests run as root (the server
// refuses root). Trust for every role but "locked", which needs a password.
// Tests run it without fsync; a benchmark asks for a durable one.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

struct PgCluster {
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";
    std::string dir, user;
    bool ok = false;

    explicit PgCluster(bool durable = false) : m_Durable(durable)
    {
        // TMPDIR may put the server on another disk than the station's folder.
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zolt7-pg-XXXXXX";
        dir = mkdtemp(tmpl.data());
        user = getuid() == 0 ? "postgres" : (getpwuid(getuid()) ? getpwuid(getuid())->pw_name : "postgres");
        if (getuid() == 0)
            if (passwd* pw = getpwnam("postgres")) (void)!chown(dir.c_str(), pw->pw_uid, pw->pw_gid);
        ok = Run(std::string(kBin) + "initdb -A trust -E UTF8 --locale=C -U " + user + " -D " + dir +
                 "/data >" + dir + "/initdb.log 2>&1") &&
             WriteHba() && Start();
        if (ok)
            ok = Run(std::string(kBin) + "psql -q -h " + dir + " -U " + user +
                     " -d postgres -c \"CREATE ROLE locked LOGIN PASSWORD 'secret'\" >/dev/null 2>&1");
    }
    ~PgCluster()
    {
        Run(std::string(kBin) + "pg_ctl -D " + dir + "/data -m immediate -w stop >/dev/null 2>&1");
        std::filesystem::remove_all(dir);
    }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // A connection string to database postgres as `role` (default: the owner).
    std::string Url(const std::string& role = {}) const
    {
        return "postgresql:///postgres?host=" + dir + "&user=" + (role.empty() ? user : role);
    }

    // A new empty database; its connection string.
    std::string NewDatabase()
    {
        const std::string name = "t" + std::to_string(++m_Databases);
        Run(std::string(kBin) + "createdb -h " + dir + " -U " + user + " " + name);
        return "postgresql:///" + name + "?host=" + dir + "&user=" + user;
    }

    bool Start()
    {
        return Run(std::string(kBin) + "pg_ctl -D " + dir + "/data -w -l " + dir +
                   "/server.log -o \"-c listen_addresses='' -c unix_socket_directories=" + dir +
                   (m_Durable ? "" : " -c fsync=off") + "\" start >/dev/null 2>&1");
    }

    // SIGKILL to the postmaster and every server process of it, as a crash
    // of the machine's server would leave it; waits until they are gone.
    void Kill()
    {
        std::ifstream f(dir + "/data/postmaster.pid");
        pid_t pid = 0;
        f >> pid;
        if (pid <= 0) return;
        std::vector<pid_t> all{pid};
        for (const auto& e : std::filesystem::directory_iterator("/proc")) {
            std::ifstream st(e.path() / "stat");
            std::string s;
            std::getline(st, s);
            const size_t close = s.rfind(')');
            if (close == std::string::npos) continue;
            char state = 0;
            int ppid = 0;
            if (std::sscanf(s.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == pid)
                all.push_back(std::atoi(e.path().filename().c_str()));
        }
        for (pid_t p : all) kill(p, SIGKILL);
        for (pid_t p : all)
            for (int i = 0; i < 500 && Alive(p); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // A zombie that init has not reaped yet still answers kill(pid, 0),
        // which the next start would take for a running server.
        std::filesystem::remove(dir + "/data/postmaster.pid");
        std::filesystem::remove(dir + "/.s.PGSQL.5432.lock");
    }

private:
    bool m_Durable = false;
    int m_Databases = 0;
    static bool Alive(pid_t p) { return std::filesystem::exists("/proc/" + std::to_string(p)); }
    bool Run(const std::string& cmd) const
    {
        const std::string full = getuid() == 0 ? "runuser -u postgres -- sh -c '" + Quote(cmd) + "'" : cmd;
        return std::system(full.c_str()) == 0;
    }
    static std::string Quote(const std::string& s)
    {
        std::string out;
        for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out;
    }
    bool WriteHba() const
    {
        std::ofstream h(dir + "/data/pg_hba.conf", std::ios::trunc);
        h << "local all locked scram-sha-256\nlocal all all trust\n";
        return bool(h);
    }
};
