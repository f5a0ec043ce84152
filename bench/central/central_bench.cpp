// Central database benchmark: the first sync of a sealed log of 999,999
// records without photographs into a throwaway cluster of its own (durable:
// fsync on), with the resident memory it adds; beside it the anchor, the
// same rows sent one INSERT per row with autocommit, timed on a sample and
// scaled to the whole log; and, on a log of 10,000, the time from a test
// stored (by the program's own store, with its photograph) to the worker
// thread's sync confirmed by the server (median of 100), with the store's own
// time beside the same store with no worker.
//   central_bench [--dir DIR] [--batch N] [--anchor-rows N] [--latency (only that)]
// The fixture is kept in DIR (default /tmp/zolt7-central-bench) and reused.
#include "FileImage.h"
#include "StoreImage.h"
#include "PgCluster.h"
#include "ProcStatus.h"
#include "SealAudit.h"
#include "SealLedger.h"
#include "central/CentralDb.h"
#include "central/CentralSettings.h"
#include "central/CentralSync.h"
#include "central/CentralWorker.h"
#include "measurement/TestStore.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"

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
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <thread>
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

// One test stored as the program stores it (record, photograph, seal entry,
// settings), timed.
double StoreMs(const cv::Mat& photo, struct tm& at)
{
    EMTaskData* m = GetManager();
    std::strcpy(emtask::StoreImage::Settings(*m).subjectid, "bench");
    std::strcpy(emtask::StoreImage::Settings(*m).subjectname, "Bench Subject");
    std::strcpy(emtask::StoreImage::Settings(*m).unitcode, "B");
    ++at.tm_sec;
    mktime(&at);
    const auto t0 = Clock::now();
    const measurement::StoredTest st = measurement::FlowDataSave(*emtask::GetManager(), false, "0.045", photo,
                                                                 at);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const bool ok = st.slot >= 0 && st.logSaved == 1 && st.sealSaved == 1 && st.settingSaved == 1 &&
                    st.photoWritten;
    return ok ? ms : -1;
}

constexpr auto kIdleGap = std::chrono::milliseconds(40);

struct Latency {
    std::vector<double> storeAlone, storeBeside, confirm;  // ms
};

// `n` tests stored on a log of 10,000 with no worker, `n` more while the
// worker syncs each, then `n` with the worker stopped: the store's own time
// with and without the worker, and from each store to the worker's sync
// that sent it. Every store follows an idle gap as long as the wait for a
// confirmation (about 40 ms): a store after an idle machine is slower than
// one right after another (caches, clock), and the stores beside the
// worker always come after one.
Latency ConfirmMs(const std::string& dir, const std::string& url, int n, std::string& why)
{
    std::filesystem::remove_all(dir);
    Latency out;
    if (!BuildFixture(dir, 10000) || !central::WriteCentralSettings(dir, {url, "latency", true}, why))
        return out;
    SetProgramFolder(dir);
    EMTaskData* m = GetManager();
    m->Reset();
    m->StartUp();
    cv::Mat photo(240, 320, CV_8UC3);
    cv::randu(photo, cv::Scalar::all(0), cv::Scalar::all(255));
    cv::GaussianBlur(photo, photo, cv::Size(7, 7), 2);
    time_t now = time(nullptr);
    struct tm at;
    localtime_r(&now, &at);
    for (int i = 0; i < n; ++i) {
        std::this_thread::sleep_for(kIdleGap);
        const double ms = StoreMs(photo, at);
        if (ms < 0) {
            why = "cannot store a test: " + LastStoreError();
            return {};
        }
        out.storeAlone.push_back(ms);
    }

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
    if (!await(10000 + n)) {
        why = "the worker's first sync did not finish";
        return {};
    }
    for (int i = 0; i < n; ++i) {
        const double ms = StoreMs(photo, at);
        const auto stored = Clock::now();
        if (ms < 0) {
            why = "cannot store a test: " + LastStoreError();
            return {};
        }
        out.storeBeside.push_back(ms);
        if (!await(10000 + n + 1 + i)) {
            why = "test " + std::to_string(10000 + n + 1 + i) + " was not confirmed";
            return {};
        }
        std::lock_guard lock(mutex);
        out.confirm.push_back(std::chrono::duration<double, std::milli>(confirmed - stored).count());
    }
    // Alone again: a load on the machine that changed meanwhile shows here.
    worker.Stop();
    for (int i = 0; i < n; ++i) {
        std::this_thread::sleep_for(kIdleGap);
        out.storeAlone.push_back(StoreMs(photo, at));
    }
    return out;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Row(const char* what, double value, const char* unit, const char* target, const std::string& note)
{
    std::printf("| %-44s | %10.2f %-2s | %-9s | %-44s |\n", what, value, unit, target, note.c_str());
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

    const Latency l = ConfirmMs(dir + "/latency", cluster.NewDatabase(), 100, why);
    if (l.confirm.empty()) {
        std::printf("central_bench: latency failed: %s\n", why.c_str());
        return 1;
    }
    const auto [lo, hi] = std::minmax_element(l.confirm.begin(), l.confirm.end());
    std::snprintf(note, sizeof note, "100 tests, min %.0f ms, max %.0f ms", *lo, *hi);
    Row("Stored to confirmed by the server (median)", Median(l.confirm), "ms", "<= 200 ms", note);
    const double alone = Median(l.storeAlone), beside = Median(l.storeBeside);
    std::snprintf(note, sizeof note, "100 tests, %.2f ms for 200 with no worker", alone);
    Row("  the store itself, worker syncing (median)", beside, "ms", "+0.1 ms", note);
    std::snprintf(note, sizeof note, "%+.2f ms", beside - alone);
    Row("  the store's time added by the worker", beside - alone, "ms", "<= 0.1 ms", note);
    return 0;
}
