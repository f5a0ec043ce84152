// Device link figures: time from a frame's arrival at the port to its
// interpretation, and the processor time of the idle read thread.
// Usage: devicelink_bench [frames] [idle-seconds]
#include "EMTaskData.h"
#include "devicelink/DLSerial.h"
#include "devicelink/DeviceLink.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
std::atomic<int64_t> g_seenNs{0};
std::atomic<int> g_seen{0};

void Timed(CDLSerial* port, const unsigned char* frame, int length)
{
    g_seenNs = Clock::now().time_since_epoch().count();
    RecvData(port, frame, length);
    ++g_seen;
}

double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}
}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (frames < 1) frames = 1;
    if (idleSeconds < 1) idleSeconds = 1;

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    std::string path = ptsname(master);
    int keep = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios t;
    tcgetattr(keep, &t);
    cfmakeraw(&t);
    tcsetattr(keep, TCSANOW, &t);

    CDLSerial& port = GetSerial();
    DeviceLink link(
        port,
        emtask::GetManager()->Settings());  // interprets the frames; nothing is connected to its signals
    link.Begin(false);
    if (port.Open(path, 4800) != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    port.m_RecvHandler = Timed;
    emtask::GetManager();  // the store exists before the first frame, as in the program

    // Frames written at random moments relative to the 10 ms poll.
    const std::string frame = "$UNB,L:020,H:050,C:0123\n";
    std::mt19937 rng(7);
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + rng() % 15000));
        int before = g_seen.load();
        int64_t t0 = Clock::now().time_since_epoch().count();
        if (write(master, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) return 1;
        auto deadline = Clock::now() + std::chrono::seconds(1);
        while (g_seen.load() == before && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        if (g_seen.load() == before) {
            std::fprintf(stderr, "frame %d not delivered\n", i);
            return 1;
        }
        ms.push_back(static_cast<double>(g_seenNs.load() - t0) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    auto pct = [&](double p) { return ms[static_cast<size_t>(p * static_cast<double>(ms.size() - 1))]; };

    // Idle: port open, nothing arriving; this thread sleeps.
    double cpu0 = CpuSeconds();
    auto w0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    double cpu = CpuSeconds() - cpu0;
    double wall = std::chrono::duration<double>(Clock::now() - w0).count();
    port.Close();

    std::printf("%-44s %10s %10s %10s %10s\n", "operation", "median", "p90", "max", "target");
    std::printf("%-44s %8.2f ms %7.2f ms %7.2f ms %10s\n", "frame arrival -> RecvData (poll 10 ms)", pct(0.5),
                pct(0.9), ms.back(), "<= 20 ms");
    std::printf("%-44s %9.3f %% %10s %10s %10s\n", "idle read thread, share of one core", 100.0 * cpu / wall,
                "", "", "< 1 %");
    std::printf("(%d frames; idle %.1f s, %.4f s of processor time)\n", frames, wall, cpu);
    close(keep);
    close(master);
    return 0;
}
