// Central database benchmark: the first sync of a sealed log of 999,999
// records without photographs into a throwaway cluster of its own (durable:
// fsync on), with the resident memory it adds; beside it the anchor, the
// same rows sent one INSERT per row with autocommit, timed on a sample and
// scaled to the whole log; and the time from a test stored to the worker
// thread's sync confirmed by the server (median of 100), on a log of 10,000.
//   central_bench [--dir DIR] [--batch N] [--anchor-rows N] [--latency (only that)]
// The fixture is kept in DIR (default /tmp/zolt7-central-bench) and reused.
#include "FileImage.h"
#include "PgCluster.h"
#include "ProcStatus.h"
#include "SealAudit.h"
#include "SealLedger.h"
#include "central/CentralDb.h"
#include "central/CentralSettings.h"
#include "central/CentralSync.h"
#include "central/CentralWorker.h"

#include <algorithm>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace emtask;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int32_t kRecords = 999999;

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

TestRecord Record(int32_t no)
{
    TestRecord r{};
    r.testno = no;
    const time_t at = time_t(1704067200) + time_t(no) * 30;
    struct tm t;
    gmtime_r(&at, &t);
    char when[16];
    std::strftime(when, sizeof when, "%Y%m%d%H%M%S", &t);
    std::memcpy(r.m_Tyy, when, 4);
    std::memcpy(r.m_Tmm, when + 4, 2);
    std::memcpy(r.m_Tdd, when + 6, 2);
    std::memcpy(r.m_Thh, when + 8, 2);
    std::memcpy(r.m_Tmi, when + 10, 2);
    std::memcpy(r.m_Tss, when + 12, 2);
    std::snprintf(r.id, sizeof r.id, "user%d", no % 9999);
    std::snprintf(r.name, sizeof r.name, "Subject %d", no % 9999);
    std::snprintf(r.result, sizeof r.result, "0.%03d", no % 80);
    r.mode = '0';
    r.unit[0] = 'B';
    return r;
}

// The log and its ledger, built in memory and written whole.
bool BuildFixture(const std::string& dir, int32_t records = kRecords)
{
    const AuditPaths p = AuditPathsOf(dir);
    std::filesystem::create_directories(p.jpegDir);
    std::unique_ptr<DeviceData, void (*)(void*)> log(
        static_cast<DeviceData*>(std::calloc(1, sizeof(DeviceData))), &std::free);
    if (!log) return false;
    log->initflag = kInitFlag;
    log->datacnt = records;
    std::vector<unsigned char> ledger(size_t(records) * kSealEntrySize);
    Digest prev{};
    for (int32_t no = 1; no <= records; ++no) {
        TestRecord& r = log->m_TestData[no - 1];
        r = Record(no);
        SealEntry e;
        e.testno = no;
        e.record = RecordDigest(r);
        unsigned char* out = ledger.data() + size_t(no - 1) * kSealEntrySize;
        EncodeSealEntry(e, out);
        e.chain = prev = ChainAfter(prev, out);
        EncodeSealEntry(e, out);
    }
    return AtomicWriteFile(p.log, log.get(), sizeof(DeviceData)) &&
           AtomicWriteFile(p.ledger, ledger.data(), ledger.size()) &&
           AtomicWriteFile(dir + "/fixture.ok", "1", 1);
}

// The anchor: the first `rows` records, each its own INSERT, autocommitted.
double AnchorSeconds(const std::string& dir, const std::string& url, int rows, std::string& why)
{
    central::PgConnection db;
    int64_t station = 0;
    if (db.Open(url, why) != central::PgConnection::Status::Ok || !central::EnsureSchema(db, why) ||
        !central::StationId(db, "anchor", station, why))
        return -1;
    std::vector<TestRecord> recs(static_cast<size_t>(rows));
    if (ReadFileImageAt(AuditPathsOf(dir).log, kDeviceDataHeaderSize, recs.data(),
                        recs.size() * sizeof(TestRecord)) != int64_t(recs.size() * sizeof(TestRecord))) {
        why = "cannot read the fixture's log";
        return -1;
    }
    const std::string stationText = std::to_string(station), ledger(16, '\0');
    const auto t0 = Clock::now();
    for (const TestRecord& r : recs) {
        const Digest h = Sha256(&r, sizeof r);
        const std::string no = std::to_string(r.testno), result(r.result),
                          when = std::string(r.m_Tyy, 4) + "-" + std::string(r.m_Tmm, 2) + "-" +
                                 std::string(r.m_Tdd, 2) + " " + std::string(r.m_Thh, 2) + ":" +
                                 std::string(r.m_Tmi, 2) + ":" + std::string(r.m_Tss, 2);
        if (!db.Exec(
                "INSERT INTO zolt7.tests (station_id, ledger, test_no, tested_at, subject_id, subject_name,"
                " result_text, result_number, unit, mode, record, record_sha256)"
                " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12)"
                " ON CONFLICT DO NOTHING RETURNING test_no",
                why,
                {stationText.c_str(), ledger.data(), no.c_str(), when.c_str(), r.id, r.name, result.c_str(),
                 result.c_str(), r.unit, "0", reinterpret_cast<const char*>(&r),
                 reinterpret_cast<const char*>(h.data())},
                {-1, 16, -1, -1, -1, -1, -1, -1, -1, -1, int(sizeof r), 32}))
            return -1;
    }
    return Seconds(t0, Clock::now());
}

// A test stored as the store stores one: its slot and the log's count, then
// its seal entry. (Plain writes: this is the bench's fixture, not the store.)
bool StoreOne(const std::string& dir, int32_t no)
{
    const AuditPaths p = AuditPathsOf(dir);
    const TestRecord r = Record(no);
    const int fd = open(p.log.c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 &&
              pwrite(fd, &r, sizeof r, off_t(kDeviceDataHeaderSize + size_t(no - 1) * sizeof r)) ==
                  ssize_t(sizeof r) &&
              pwrite(fd, &no, 4, off_t(offsetof(DeviceData, datacnt))) == 4 && fdatasync(fd) == 0;
    if (fd >= 0) close(fd);
    SealEntry e;
    e.testno = no;
    e.record = RecordDigest(r);
    return ok && AppendSeal(p.ledger, e);
}

// Milliseconds from each of `n` tests stored to the worker's sync that sent it.
std::vector<double> ConfirmMs(const std::string& dir, const std::string& url, int n, std::string& why)
{
    std::filesystem::remove_all(dir);
    std::vector<double> ms;
    if (!BuildFixture(dir, 10000) || !central::WriteCentralSettings(dir, {url, "latency", true}, why))
        return ms;
    std::mutex mutex;
    std::condition_variable cv;
    int64_t sent = 0;
    Clock::time_point confirmed;
    central::CentralWorker worker(dir);
    worker.resultHook = [&](const central::SyncResult& r) {
        std::lock_guard lock(mutex);
        if (r.status == central::SyncResult::UpToDate) {
            sent += r.sent;
            confirmed = Clock::now();
        }
        cv.notify_all();
    };
    worker.Restart();
    auto await = [&](int64_t want) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(60), [&] { return sent >= want; });
    };
    if (!await(10000)) {
        why = "the worker's first sync did not finish";
        return ms;
    }
    for (int i = 0; i < n; ++i) {
        if (!StoreOne(dir, 10001 + i)) {
            why = "cannot store a test: " + LastFileError();
            return {};
        }
        const auto stored = Clock::now();
        if (!await(10001 + i)) {
            why = "test " + std::to_string(10001 + i) + " was not confirmed";
            return {};
        }
        std::lock_guard lock(mutex);
        ms.push_back(std::chrono::duration<double, std::milli>(confirmed - stored).count());
    }
    return ms;
}

void Row(const char* what, double value, const char* unit, const char* target, const std::string& note)
{
    std::printf("| %-44s | %10.1f %-2s | %-9s | %-44s |\n", what, value, unit, target, note.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dir = "/tmp/zolt7-central-bench";
    int batch = central::SyncOptions().batchRows, anchorRows = 20000;
    bool latencyOnly = false;
    for (int i = 1; i < argc; ++i) latencyOnly |= std::strcmp(argv[i], "--latency") == 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0)
            dir = argv[++i];
        else if (std::strcmp(argv[i], "--batch") == 0)
            batch = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--anchor-rows") == 0)
            anchorRows = std::atoi(argv[++i]);
    }
    if (!std::filesystem::exists(dir + "/fixture.ok")) {
        std::printf("central_bench: building the fixture in %s ...\n", dir.c_str());
        std::fflush(stdout);
        if (!BuildFixture(dir)) {
            std::printf("central_bench: cannot build the fixture in %s\n", dir.c_str());
            return 1;
        }
    }
    std::filesystem::remove(central::SyncStatePath(dir));
    PgCluster cluster(true);
    if (!cluster.ok) {
        std::printf("central_bench: no cluster (see %s)\n", cluster.dir.c_str());
        return 1;
    }
    std::printf("central_bench: %d sealed records, no photographs, in %s; batches of %d; durable cluster\n\n",
                kRecords, dir.c_str(), batch);
    std::printf("| %-44s | %13s | %-9s | %-44s |\n", "operation", "time", "target", "result");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(15, '-').c_str(),
                std::string(11, '-').c_str(), std::string(46, '-').c_str());

    std::string why;
    char note[128];
    if (!latencyOnly) {
        central::SyncOptions o;
        o.folder = dir;
        o.url = cluster.NewDatabase();
        o.station = "bench";
        o.batchRows = batch;
        const long idleKb = bench::StatusKb("VmRSS:");
        bench::ResetPeak();
        const auto t0 = Clock::now();
        const central::SyncResult r = central::SyncFolder(o);
        const double sync = Seconds(t0, Clock::now());
        const long peakKb = bench::StatusKb("VmHWM:");
        std::snprintf(note, sizeof note, "%s, %lld sent",
                      r.status == central::SyncResult::UpToDate ? "up to date" : r.why.c_str(),
                      static_cast<long long>(r.sent));
        Row("First sync, 999,999 records", sync, "s", "<= 60 s", note);
        Row("  resident memory above idle (peak)", double(peakKb - idleKb) / 1024, "MB", "<= 100 MB",
            "idle " + std::to_string(idleKb / 1024) + " MB");

        const double anchor = AnchorSeconds(dir, cluster.NewDatabase(), anchorRows, why);
        if (anchor < 0) {
            std::printf("central_bench: anchor failed: %s\n", why.c_str());
            return 1;
        }
        const double scaled = anchor * kRecords / anchorRows;
        std::snprintf(note, sizeof note, "%d rows in %.1f s, scaled x%.0f", anchorRows, anchor,
                      double(kRecords) / anchorRows);
        Row("Anchor: one INSERT per row, autocommit", scaled, "s", "-", note);
        std::snprintf(note, sizeof note, "ratio %.1f", scaled / sync);
        Row("  anchor against the sync", scaled / sync, "x", "-", note);
        if (r.status != central::SyncResult::UpToDate) return 1;
    }

    std::vector<double> ms = ConfirmMs(dir + "/latency", cluster.NewDatabase(), 100, why);
    if (ms.empty()) {
        std::printf("central_bench: latency failed: %s\n", why.c_str());
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::snprintf(note, sizeof note, "100 tests, min %.0f ms, max %.0f ms", ms.front(), ms.back());
    Row("Stored to confirmed by the server (median)", ms[ms.size() / 2], "ms", "<= 200 ms", note);
    return 0;
}
