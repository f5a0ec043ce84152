// Store benchmark: each operation with its median time and, measured in the
// same run, the naive way it replaces.
//   store_bench [--dir DIR]     (DIR: a scratch folder on the disk to measure)
#include "EMTaskData.h"
#include "StoreImage.h"
#include "FileImage.h"
#include "ProgramFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace emtask;
using Clock = std::chrono::steady_clock;

namespace {
double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long RssKiB()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

TestRecord Sample(int i)
{
    TestRecord r{};
    std::snprintf(r.id, sizeof r.id, "ID%07d", i);
    std::snprintf(r.name, sizeof r.name, "Subject %d", i);
    std::memcpy(r.m_Tyy, "2026", 4);
    std::memcpy(r.m_Tmm, "12", 2);
    std::memcpy(r.m_Tdd, "06", 2);
    std::memcpy(r.result, "0.045", 5);
    r.mode = '0';
    r.unit[0] = 'B';
    r.crc16 = static_cast<uint16_t>(i);
    return r;
}

// The original way: the whole image written with "wb" on every save.
double NaiveSave(const std::string& path, const void* data, size_t size)
{
    auto t0 = Clock::now();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return -1;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return Ms(t0, Clock::now());
}

void Row(const char* op, double ours, const char* unit, double naive, const char* naiveWhat,
         const char* target)
{
    std::printf("| %-58s | %10.2f %-3s | %10.2f %-3s | %7.1fx | %-30s | %-12s |\n", op, ours, unit, naive,
                unit, ours > 0 ? naive / ours : 0.0, naiveWhat, target);
}

// Resident memory a fresh process adds by its start-up (or by the naive
// read) on `dir`, above its own baseline; `ms` receives the time it took.
long ChildRss(const std::string& dir, bool naiveLoad, double* ms = nullptr)
{
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        SetProgramFolder(dir);
        EMTaskData* m = GetManager();
        const long before = RssKiB();
        const auto t0 = Clock::now();
        if (naiveLoad) {
            // A plain read of the whole file commits every page of the member.
            FILE* f = std::fopen(MeasureLogPath().c_str(), "rb");
            if (f) {
                size_t n = std::fread(&emtask::StoreImage::Log(*m), 1, sizeof emtask::StoreImage::Log(*m), f);
                (void)n;
                std::fclose(f);
            }
        } else {
            m->StartUp();
        }
        const double took = Ms(t0, Clock::now());
        const long kb = RssKiB() - before;
        if (write(fds[1], &kb, sizeof kb) != sizeof kb || write(fds[1], &took, sizeof took) != sizeof took)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long kb = -1;
    double took = -1;
    if (read(fds[0], &kb, sizeof kb) != sizeof kb || read(fds[0], &took, sizeof took) != sizeof took) kb = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    if (ms) *ms = took;
    return kb;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string base = "/var/tmp";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--dir") == 0) base = argv[i + 1];
    std::string dir = base + "/zolt7-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    SetProgramFolder(dir);
    EMTaskData* m = GetManager();

    std::printf("store benchmark in %s (EMTaskData reserves %.0f MB)\n\n", dir.c_str(),
                sizeof(EMTaskData) / 1e6);
    std::printf("| %-58s | %14s | %14s | %8s | %-30s | %-12s |\n", "operation", "ours", "naive", "ratio",
                "naive way", "target");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(60, '-').c_str(), std::string(16, '-').c_str(),
                std::string(16, '-').c_str(), std::string(10, '-').c_str(), std::string(32, '-').c_str(),
                std::string(14, '-').c_str());

    // 3. Memory added by start-up with an empty log (measured first): on a
    // fresh folder, which writes the empty log, and again on that log.
    double firstMs = 0, naiveMs = 0;
    long rssFirst = ChildRss(dir, false, &firstMs);  // creates the empty log
    long rssOurs = ChildRss(dir, false);
    long rssNaive = ChildRss(dir, true, &naiveMs);
    Row("resident memory added by start-up, fresh folder (MB)", rssFirst / 1024.0, "MB", rssNaive / 1024.0,
        "read whole file into member", "<= 20 MB");
    Row("resident memory added by start-up, empty log (MB)", rssOurs / 1024.0, "MB", rssNaive / 1024.0,
        "read whole file into member", "<= 20 MB");
    Row("start-up on a fresh folder, writes the empty log", firstMs, "ms", naiveMs, "fread of the empty log",
        "");

    // 1. Store one record into a log of ~999,998 records.
    m->Reset();
    m->StartUp();
    const int base_count = 999978;
    for (int i = 0; i < base_count; ++i)
        emtask::StoreImage::Log(*m).m_TestData[i] = Sample(i),
        emtask::StoreImage::Log(*m).m_TestData[i].testno = i + 1;
    emtask::StoreImage::Log(*m).datacnt = base_count;
    emtask::StoreImage::Settings(*m).recordcnt = base_count;
    if (m->SaveResultData() != 1) {
        std::fprintf(stderr, "cannot write the log\n");
        return 1;
    }
    std::vector<double> store;
    for (int i = base_count; i < 999998; ++i) {
        auto t0 = Clock::now();
        if (m->AppendRecord(Sample(i)) < 0 || m->SaveResultData() != 1 || m->SaveSetting() != 1) {
            std::fprintf(stderr, "store failed at %d\n", i);
            return 1;
        }
        store.push_back(Ms(t0, Clock::now()));
    }
    std::vector<double> naive;
    std::string naivePath = dir + "/naive.dat";
    for (int i = 0; i < 3; ++i) {
        auto t0 = Clock::now();
        NaiveSave(naivePath, &emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        FILE* f = std::fopen((dir + "/naive.conf").c_str(), "wb");
        std::fwrite(&emtask::StoreImage::Settings(*m), 1, sizeof emtask::StoreImage::Settings(*m), f);
        std::fclose(f);
        naive.push_back(Ms(t0, Clock::now()));
    }
    Row("store one record into a log of 999,998 (median of 20)", Median(store), "ms", Median(naive),
        "\"wb\" rewrite of 276 MB image", "<= 50 ms");

    // 2. Start-up load of a full 1,000,000-slot log.
    for (int i = 999998; i < kMaxRecords; ++i) emtask::StoreImage::Log(*m).m_TestData[i] = Sample(i);
    emtask::StoreImage::Log(*m).datacnt = kMaxRecords;
    emtask::StoreImage::ForgetFile(*m);
    m->SaveResultData();
    std::vector<double> load, loadNaive;
    for (int i = 0; i < 3; ++i) {
        m->Reset();
        auto t0 = Clock::now();
        m->StartUp();
        load.push_back(Ms(t0, Clock::now()));
        if (emtask::StoreImage::Log(*m).datacnt != kMaxRecords) {
            std::fprintf(stderr, "load lost records\n");
            return 1;
        }
        m->Reset();
        t0 = Clock::now();
        FILE* f = std::fopen(MeasureLogPath().c_str(), "rb");
        size_t n = std::fread(&emtask::StoreImage::Log(*m), 1, sizeof emtask::StoreImage::Log(*m), f);
        std::fclose(f);
        loadNaive.push_back(Ms(t0, Clock::now()));
        if (n != sizeof emtask::StoreImage::Log(*m)) return 1;
    }
    Row("start-up load of a full 1,000,000-slot log (median of 3)", Median(load), "ms", Median(loadNaive),
        "fread of the whole file", "<= half naive");

    std::filesystem::remove_all(dir);
    return 0;
}
