// Seal audit benchmark on a sealed log of 999,999 records with a 320 x 240
// photograph for every 10th (100,000 files): the whole audit with all cores
// and with one thread, records only and with the photographs; and what
// sealing adds to storing one test on a ledger of 999,998 entries.
// With --keyed: a keyed ledger of the same records beside it, its records-only
// audit with every MAC checked against the records-only audit without, and
// an append with its MAC and the key's renewal.
//   seal_bench [--dir DIR] [--keyed]   (default /tmp/zolt7-seal-bench, kept and reused)
// The photographs are eight encoded base images, each file made distinct by a
// comment segment carrying its test number: the same pixels to decode, a hash
// of its own, and no 100,000 encodes to build the fixture.
#include "FileImage.h"
#include "PhotoCheck.h"
#include "SealAudit.h"
#include "SealKey.h"
#include "SealLedger.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace emtask;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int32_t kRecords = 999999;
constexpr int kBases = 8;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

TestRecord Record(int32_t no)
{
    TestRecord r{};
    r.testno = no;
    // Thirty seconds apart from 2024-01-01, so that dates never run backwards
    // (the audit would list them).
    const time_t at = time_t(1704067200) + time_t(no) * 30;
    struct tm t;
    gmtime_r(&at, &t);
    const unsigned y = unsigned(t.tm_year + 1900) % 10000, mo = unsigned(t.tm_mon + 1) % 100,
                   d = unsigned(t.tm_mday) % 100, h = unsigned(t.tm_hour) % 100,
                   mi = unsigned(t.tm_min) % 100,
                   sec = unsigned(t.tm_sec) % 100;  // bounded, so the compiler sees each field fits
    std::snprintf(r.m_Tyy, sizeof r.m_Tyy, "%04u", y);
    std::snprintf(r.m_Tmm, sizeof r.m_Tmm, "%02u", mo);
    std::snprintf(r.m_Tdd, sizeof r.m_Tdd, "%02u", d);
    std::snprintf(r.m_Thh, sizeof r.m_Thh, "%02u", h);
    std::snprintf(r.m_Tmi, sizeof r.m_Tmi, "%02u", mi);
    std::snprintf(r.m_Tss, sizeof r.m_Tss, "%02u", sec);
    std::snprintf(r.id, sizeof r.id, "user%d", no % 9999);
    std::snprintf(r.name, sizeof r.name, "Subject %d", no % 9999);
    std::snprintf(r.result, sizeof r.result, "0.%03d", no % 80);
    r.mode = '0';
    r.unit[0] = 'B';
    return r;
}

// The JPEG of base image `b` with a comment segment naming test `no`.
std::vector<unsigned char> PhotoBytes(const std::vector<unsigned char>& base, int32_t no)
{
    char text[32];
    const int n = std::snprintf(text, sizeof text, "test %d", no);
    std::vector<unsigned char> out;
    out.reserve(base.size() + 4 + size_t(n));
    out.insert(out.end(), base.begin(), base.begin() + 2);  // SOI
    out.push_back(0xFF);
    out.push_back(0xFE);
    out.push_back(static_cast<unsigned char>((n + 2) >> 8));
    out.push_back(static_cast<unsigned char>(n + 2));
    out.insert(out.end(), text, text + n);
    out.insert(out.end(), base.begin() + 2, base.end());
    return out;
}

bool WritePlain(const std::string& path, const std::vector<unsigned char>& bytes)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    return close(fd) == 0 && ok;
}

bool BuildFixture(const std::string& dir)
{
    const AuditPaths p = AuditPathsOf(dir);
    std::filesystem::create_directories(p.jpegDir);
    std::vector<std::vector<unsigned char>> bases(kBases);
    std::vector<PhotoSamples> samples(kBases);
    for (int b = 0; b < kBases; ++b) {
        cv::Mat m(240, 320, CV_8UC3, cv::Scalar(40 + 25 * b, 120, 200 - 20 * b));
        cv::circle(m, {160, 110}, 60 + 4 * b, cv::Scalar(230, 210, 190), cv::FILLED);
        cv::putText(m, std::to_string(b), {20, 220}, cv::FONT_HERSHEY_SIMPLEX, 1.5, cv::Scalar(20, 20, 20),
                    3);
        if (!cv::imencode(".jpg", m, bases[b])) return false;
        SamplePhotoBytes(bases[b], samples[b]);
    }
    // The log image and the ledger, built in memory and written whole.
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
        if (no % 10 == 0) {
            const int b = (no / 10) % kBases;
            const std::vector<unsigned char> bytes = PhotoBytes(bases[b], no);
            r.crc16 = PhotoCheckValue(samples[b], r);
            if (!WritePlain(p.jpegDir + "/" + PhotoFileName(r), bytes)) return false;
            e.photo = Sha256(bytes.data(), bytes.size());
            e.flags = kSealPhoto;
        } else {
            r.crc16 = PhotoCheckValue({}, r);
        }
        e.record = RecordDigest(r);
        unsigned char* out = ledger.data() + size_t(no - 1) * kSealEntrySize;
        EncodeSealEntry(e, out);
        e.chain = ChainAfter(prev, out);
        EncodeSealEntry(e, out);
        prev = e.chain;
    }
    return AtomicWriteFile(p.log, log.get(), sizeof(DeviceData)) &&
           AtomicWriteFile(p.ledger, ledger.data(), ledger.size()) &&
           AtomicWriteFile(dir + "/fixture2.ok", "1", 1);
}

void Row(const char* what, double value, const char* unit, const char* target, const char* note);

// The keyed ledger of the fixture's records at data/keyed/seal.log, its key
// sheet at keyed.sheet.
bool BuildKeyed(const std::string& dir)
{
    const AuditPaths p = AuditPathsOf(dir);
    const std::string ledgerPath = dir + "/data/keyed/seal.log";
    std::filesystem::create_directories(dir + "/data/keyed");
    std::filesystem::remove(ledgerPath);
    std::filesystem::remove(dir + "/keyed.sheet");
    SealKeySheet sheet;
    std::string aside, why;
    if (!BeginKeyedLedger(ledgerPath, 0, dir + "/keyed.sheet", dir, sheet, aside, why)) {
        std::printf("seal_bench: %s\n", why.c_str());
        return false;
    }
    std::vector<unsigned char> log(sizeof(TestRecord) * kRecords);
    if (ReadFileImageAt(p.log, kDeviceDataHeaderSize, log.data(), log.size()) != int64_t(log.size()))
        return false;
    std::vector<unsigned char> ledger(size_t(kRecords + 1) * kKeyedEntrySize);
    if (ReadFileImage(ledgerPath, ledger.data(), kKeyedEntrySize) != int64_t(kKeyedEntrySize)) return false;
    SealEntry start;
    DecodeSealEntry(ledger.data(), start, true);
    Digest prev = start.chain, k = EvolveSealKey(sheet.k0);
    for (int32_t no = 1; no <= kRecords; ++no) {
        TestRecord r;
        std::memcpy(&r, log.data() + size_t(no - 1) * sizeof r, sizeof r);
        SealEntry e;
        e.keyed = true;
        e.testno = no;
        e.flags = kSealCount;
        e.count = uint32_t(no % 10000);
        e.record = RecordDigest(r);
        if (no % 10 == 0) {
            if (!Sha256File(p.jpegDir + "/" + PhotoFileName(r), e.photo)) return false;
            e.flags |= kSealPhoto;
        }
        unsigned char* out = ledger.data() + size_t(no) * kKeyedEntrySize;
        EncodeSealEntry(e, out);
        e.chain = prev = ChainAfter(prev, out);
        EncodeSealEntry(e, out);
        e.mac = SealMac(k, out, kKeyedMacBytes);
        EncodeSealEntry(e, out);
        k = EvolveSealKey(k);
    }
    return AtomicWriteFile(ledgerPath, ledger.data(), ledger.size()) &&
           WriteSealKey(SealKeyPath(ledgerPath), {sheet.ledger, uint64_t(kRecords) + 1, k});
}

double AuditSeconds(AuditPaths paths, const SealKeySheet* sheet, std::string& note)
{
    AuditOptions o;
    o.photos = false;
    o.keySheet = sheet;
    const auto t0 = Clock::now();
    const AuditResult r = AuditLog(paths, o);
    const double s = Ms(t0, Clock::now()) / 1000;
    char text[96];
    std::snprintf(text, sizeof text, "%s, %lld verified, %zu findings", r.Clean() ? "clean" : "NOT CLEAN",
                  static_cast<long long>(r.verified), r.findings.size());
    note = text;
    return s;
}

int Keyed(const std::string& dir)
{
    if (!std::filesystem::exists(dir + "/keyed.sheet") && !BuildKeyed(dir)) {
        std::printf("seal_bench: cannot build the keyed ledger\n");
        return 1;
    }
    SealKeySheet sheet;
    std::string why;
    if (!ReadKeySheet(dir + "/keyed.sheet", sheet, why)) {
        std::printf("seal_bench: %s\n", why.c_str());
        return 1;
    }
    AuditPaths plain = AuditPathsOf(dir), keyed = plain;
    keyed.ledger = dir + "/data/keyed/seal.log";
    std::string note;
    std::vector<double> without, with;
    for (int i = 0; i < 3; ++i) {
        without.push_back(AuditSeconds(plain, nullptr, note));
        with.push_back(AuditSeconds(keyed, &sheet, note));
    }
    std::sort(without.begin(), without.end());
    std::sort(with.begin(), with.end());
    Row("Audit, records only, unkeyed (median of 3)", without[1], "s", "-", "");
    Row("Audit, records only, every MAC (median of 3)", with[1], "s", "<= 1.5x", note.c_str());
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "ratio %.2f", with[1] / without[1]);
    Row("  MACs against none", with[1] / without[1], "x", "<= 1.5", ratio);

    // Appends with MAC and key renewal on a ledger of 999,998 entries.
    const std::string appendDir = dir + "/append-keyed";
    std::filesystem::create_directories(appendDir);
    const std::string ledger = appendDir + "/seal.log";
    const uint64_t entries = kRecords - 1;
    std::vector<unsigned char> bytes(entries * kKeyedEntrySize);
    Digest k = sheet.k0;
    for (uint64_t i = 0; i < entries; ++i) k = EvolveSealKey(k);
    if (ReadFileImage(keyed.ledger, bytes.data(), bytes.size()) != int64_t(bytes.size()) ||
        !AtomicWriteFile(ledger, bytes.data(), bytes.size()) ||
        !WriteSealKey(SealKeyPath(ledger), {sheet.ledger, entries, k})) {
        std::printf("seal_bench: cannot copy the keyed ledger\n");
        return 1;
    }
    const TestRecord rec = Record(999990);
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        const auto t0 = Clock::now();
        SealEntry e;
        e.testno = kRecords + i;
        e.record = RecordDigest(rec);
        const bool ok = AppendSeal(ledger, e);
        times.push_back(ok ? Ms(t0, Clock::now()) : 1e9);
    }
    std::sort(times.begin(), times.end());
    char text[96];
    std::snprintf(text, sizeof text, "100 appends, max %.2f ms", times.back());
    Row("Keyed AppendSeal, MAC + new key (median)", times[times.size() / 2], "ms", "<= 2 ms", text);
    std::filesystem::remove_all(appendDir);
    return 0;
}

void Row(const char* what, double value, const char* unit, const char* target, const char* note)
{
    std::printf("| %-44s | %10.1f %-2s | %-9s | %-40s |\n", what, value, unit, target, note);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dir = "/tmp/zolt7-seal-bench";
    bool keyed = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) dir = argv[i + 1];
        keyed |= std::strcmp(argv[i], "--keyed") == 0;
    }
    if (!std::filesystem::exists(dir + "/fixture2.ok")) {
        std::printf("seal_bench: building the fixture in %s ...\n", dir.c_str());
        std::fflush(stdout);
        const auto t0 = Clock::now();
        if (!BuildFixture(dir)) {
            std::printf("seal_bench: cannot build the fixture in %s\n", dir.c_str());
            return 1;
        }
        std::printf("seal_bench: fixture built in %.1f s\n", Ms(t0, Clock::now()) / 1000);
    }
    const AuditPaths paths = AuditPathsOf(dir);
    std::printf("seal_bench: %d records, a photograph for every 10th, sealed, in %s; %u cores\n\n", kRecords,
                dir.c_str(), std::thread::hardware_concurrency());
    std::printf("| %-44s | %13s | %-9s | %-40s |\n", "operation", "time", "target", "result");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(15, '-').c_str(),
                std::string(11, '-').c_str(), std::string(42, '-').c_str());

    if (keyed) return Keyed(dir);

    struct Run {
        const char* what;
        bool photos;
        unsigned threads;
        const char* target;
    };
    // The first full run reads the photographs as the page cache left them;
    // the last one repeats it with them cached, as the one-thread run had.
    for (const Run& run : {Run{"Audit, records only, all cores", false, 0, "<= 5 s"},
                           Run{"Audit, records only, one thread", false, 1, "-"},
                           Run{"Audit, full, all cores (first)", true, 0, "<= 120 s"},
                           Run{"Audit, full, one thread", true, 1, "-"},
                           Run{"Audit, full, all cores (again)", true, 0, "<= 120 s"}}) {
        AuditOptions o;
        o.photos = run.photos;
        o.threads = run.threads;
        const auto t0 = Clock::now();
        const AuditResult r = AuditLog(paths, o);
        const double ms = Ms(t0, Clock::now());
        char note[96];
        std::snprintf(note, sizeof note, "%s, %lld verified, %zu findings", r.Clean() ? "clean" : "NOT CLEAN",
                      static_cast<long long>(r.verified), r.findings.size());
        Row(run.what, ms / 1000, "s", run.target, note);
    }

    // Sealing one more test: the entry appended (synced) to a ledger of
    // 999,998 entries, alone and with the record and photograph hashed.
    const std::string appendDir = dir + "/append";
    std::filesystem::create_directories(appendDir);
    const std::string ledger = appendDir + "/seal.log";
    {
        std::vector<unsigned char> bytes(size_t(kRecords - 1) * kSealEntrySize);
        if (ReadFileImage(paths.ledger, bytes.data(), bytes.size()) != int64_t(bytes.size()) ||
            !AtomicWriteFile(ledger, bytes.data(), bytes.size())) {
            std::printf("seal_bench: cannot copy the ledger\n");
            return 1;
        }
    }
    const TestRecord rec = Record(999990);
    const std::string photo = paths.jpegDir + "/" + PhotoFileName(rec);
    std::vector<double> alone, whole;
    for (int i = 0; i < 100; ++i) {
        const auto t0 = Clock::now();
        SealEntry e;
        e.testno = kRecords + i;
        if (i % 2) {
            e.record = RecordDigest(rec);
            if (Sha256File(photo, e.photo)) e.flags = kSealPhoto;
        }
        const bool ok = AppendSeal(ledger, e);
        (i % 2 ? whole : alone).push_back(ok ? Ms(t0, Clock::now()) : 1e9);
    }
    std::sort(alone.begin(), alone.end());
    std::sort(whole.begin(), whole.end());
    char note[96];
    std::snprintf(note, sizeof note, "50 appends, max %.2f ms", alone.back());
    Row("AppendSeal, 999,998-entry ledger (median)", alone[alone.size() / 2], "ms", "<= 2 ms", note);
    std::snprintf(note, sizeof note, "50 appends, max %.2f ms", whole.back());
    Row("Hashes + AppendSeal (median)", whole[whole.size() / 2], "ms", "<= 2 ms", note);
    std::filesystem::remove_all(appendDir);
    return 0;
}
