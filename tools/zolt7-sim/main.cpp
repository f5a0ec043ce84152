// zolt7-sim: a simulated instrument on a pseudo-terminal.
#include "Instrument.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

const char kHelp[] =
    "Usage: zolt7-sim [options]\n"
    "\n"
    "Simulates the breath-alcohol tester on a pseudo-terminal. The first line on\n"
    "standard output is the terminal's path; give it to the application, for\n"
    "example with ZOLT7_PORTS=<path>. Runs until SIGTERM or SIGINT; the\n"
    "application may open and close the port any number of times meanwhile.\n"
    "\n"
    "Options:\n"
    "  --link PATH        also make a symbolic link PATH to the terminal, with its folder\n"
    "                     when missing (the link is removed at exit)\n"
    "  --scenario NAME    what a test ($START) does:\n"
    "                       normal       WAI, STA, BRE, RES, END\n"
    "                       flow-retry   WAI, STA, FLO (flow error), WAI, STA, BRE, RES, END\n"
    "                       calibration  CAL (calibration due), END\n"
    "                       timeout      WAI, STA, TIM (no breath in time), END\n"
    "                       sensor       WAI, SEN (sensor error), END\n"
    "                       silent       answers nothing at all, not even $RECALL\n"
    "  --unit B|G|M       unit of measure: B %BAC, G g/L, M mg/L (default B)\n"
    "  --result TEXT      result of a test, 1 to 5 characters (default 0.045)\n"
    "  --pace MS          milliseconds before each frame of a test (default 700)\n"
    "  --hold MS          milliseconds the result stays before END, as the\n"
    "                     instrument shows it (default 5000; never below the pace)\n"
    "  --low DDD          low alert level, three digits read as d.dd (default 020)\n"
    "  --high DDD         high alert level (default 050)\n"
    "  --calcnt DDDD      test count; grows by one with each test (default 0123)\n"
    "  --quiet            no log of commands and frames on standard error\n"
    "  --help             this text\n"
    "\n"
    "Commands understood: $RECALL (answered with the unit frame\n"
    "\"$UN<unit>,L:<low>,H:<high>,C:<count>\"), $START (the frames of a test),\n"
    "$RESET (stops a running test, answered with \"$RST\"), and\n"
    "\"$LEVEL, L/DDD\" / \"$LEVEL, H/DDD\" (set a level). Frames end with a line feed.\n";

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Printable(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

void WriteAll(int fd, const std::string& s)
{
    size_t done = 0;
    for (int tries = 0; done < s.size() && tries < 100; ++tries) {
        ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        else
            usleep(1000);
    }
}

// Milliseconds 0 to 60000, or -1 (refused by CheckOptions).
int Millis(const std::string& v)
{
    char* end = nullptr;
    long ms = std::strtol(v.c_str(), &end, 10);
    return (end && *end == 0 && !v.empty() && ms >= 0 && ms <= 60000) ? static_cast<int>(ms) : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    InstrumentOptions opt;
    std::string link;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zolt7-sim: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            out = argv[++i];
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--link")
            value(link);
        else if (a == "--scenario")
            value(opt.scenario);
        else if (a == "--unit") {
            value(v);
            opt.unit = v.size() == 1 ? v[0] : '?';
        } else if (a == "--result")
            value(opt.result);
        else if (a == "--pace") {
            value(v);
            opt.paceMs = Millis(v);
        } else if (a == "--hold") {
            value(v);
            opt.holdMs = Millis(v);
        } else if (a == "--low")
            value(opt.low);
        else if (a == "--high")
            value(opt.high);
        else if (a == "--calcnt")
            value(opt.calcnt);
        else if (a == "--quiet")
            quiet = true;
        else {
            std::fprintf(stderr, "zolt7-sim: unknown option %s (see --help)\n", a.c_str());
            return 2;
        }
    }
    if (std::string err = CheckOptions(opt); !err.empty()) {
        std::fprintf(stderr, "zolt7-sim: %s\n", err.c_str());
        return 2;
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("zolt7-sim: pseudo-terminal");
        return 1;
    }
    const char* name = ptsname(master);
    if (!name) {
        std::perror("zolt7-sim: ptsname");
        return 1;
    }
    std::string path = name;
    // Holding the slave end open keeps the terminal alive while the
    // application closes and reopens it, and keeps raw mode in place.
    int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        std::perror("zolt7-sim: slave");
        return 1;
    }
    termios t;
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B4800);
        cfsetospeed(&t, B4800);
        tcsetattr(slave, TCSANOW, &t);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!link.empty()) {
        // The link's folder is made when missing (for example /tmp/zolt7-sim).
        for (size_t slash = link.find('/', 1); slash != std::string::npos; slash = link.find('/', slash + 1))
            ::mkdir(link.substr(0, slash).c_str(), 0777);
        ::unlink(link.c_str());
        if (::symlink(path.c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "zolt7-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
            return 1;
        }
    }

    struct sigaction sa { };
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    Instrument inst(opt);
    while (!g_stop) {
        int64_t now = NowMs();
        int64_t wait = inst.NextDueIn(now);
        int timeout = wait < 0 || wait > 200 ? 200 : static_cast<int>(wait);
        pollfd p{master, POLLIN, 0};
        int r = ::poll(&p, 1, timeout);
        if (r > 0 && (p.revents & POLLIN)) {
            char buf[512];
            ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) {
                size_t before = inst.Commands().size();
                inst.Receive(buf, static_cast<size_t>(n), NowMs());
                if (!quiet)
                    for (size_t i = before; i < inst.Commands().size(); ++i)
                        std::fprintf(stderr, "zolt7-sim: <- %s\n", inst.Commands()[i].c_str());
            }
        } else if (r > 0) {
            usleep(20000);  // hang-up or error with nothing to read: do not spin
        }
        for (const std::string& f : inst.Due(NowMs())) {
            WriteAll(master, f);
            if (!quiet) std::fprintf(stderr, "zolt7-sim: -> %s\n", Printable(f).c_str());
        }
    }
    if (!link.empty()) ::unlink(link.c_str());
    ::close(slave);
    ::close(master);
    return 0;
}
