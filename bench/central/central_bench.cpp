// Central database benchmark: the first sync of a sealed log of 999,999
// records without photographs into a throwaway cluster of its own (durable:
// fsync on), with the resident memory it adds; beside it the anchor, the
// same rows sent one INSERT per row with autocommit, timed on a sample and
// scaled to the whole log.
//   central_bench [--dir DIR] [--batch N] [--anchor-rows N]
// The fixture is kept in DIR (default /tmp/zolt7-central-bench) and reused.
#include "FileImage.h"
#include "PgCluster.h"
#include "ProcStatus.h"
#include "SealAudit.h"
#include "SealLedger.h"
#include "central/CentralDb.h"
#include "central/CentralSync.h"

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
bool BuildFixture(const std::string& dir)
{
    const AuditPaths p = AuditPathsOf(dir);
    std::filesystem::create_directories(p.jpegDir);
    std::unique_ptr<DeviceData, void (*)(void*)> log(
        static_cast<DeviceData*>(std::calloc(1, sizeof(DeviceData))), &std::free);
    if (!log) return false;
    log->initflag = kInitFlag;
    log->datacnt = kRecords;
    std::vector<unsigned char> ledger(size_t(kRecords) * kSealEntrySize);
    Digest prev{};
    for (int32_t no = 1; no <= kRecords; ++no) {
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
    char note[128];
    std::snprintf(note, sizeof note, "%s, %lld sent",
                  r.status == central::SyncResult::UpToDate ? "up to date" : r.why.c_str(),
                  static_cast<long long>(r.sent));
    Row("First sync, 999,999 records", sync, "s", "<= 60 s", note);
    Row("  resident memory above idle (peak)", double(peakKb - idleKb) / 1024, "MB", "<= 100 MB",
        "idle " + std::to_string(idleKb / 1024) + " MB");

    std::string why;
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
    return r.status == central::SyncResult::UpToDate ? 0 : 1;
}
