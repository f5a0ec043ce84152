// A pseudo-terminal for tests: the master end stands for the instrument.
#pragma once

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

struct PtyPair {
    int master = -1;
    int slaveKeep = -1;  // keeps the slave side alive between opens
    std::string path;

    PtyPair()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        path = ptsname(master);
        slaveKeep = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t;
        if (slaveKeep >= 0 && tcgetattr(slaveKeep, &t) == 0) {
            cfmakeraw(&t);  // no echo of what the instrument sends
            tcsetattr(slaveKeep, TCSANOW, &t);
        }
        int fl = fcntl(master, F_GETFL);
        fcntl(master, F_SETFL, fl | O_NONBLOCK);
    }
    ~PtyPair()
    {
        if (slaveKeep >= 0) ::close(slaveKeep);
        if (master >= 0) ::close(master);
    }
    bool ok() const { return master >= 0 && slaveKeep >= 0; }

    void write(const std::string& s) const { (void)!::write(master, s.data(), s.size()); }

    // Bytes the port wrote, waiting up to `ms` for at least `want` of them.
    std::string read(size_t want, int ms = 1000) const
    {
        std::string got;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < want && std::chrono::steady_clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<size_t>(n));
            }
        }
        return got;
    }
};
