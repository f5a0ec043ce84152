#include "SealAudit.h"

#include "FileImage.h"
#include "PhotoCheck.h"
#include "SealCheckpoint.h"
#include "TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <opencv2/core.hpp>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace emtask {

namespace {

constexpr const char* kKindNames[kAuditKinds] = {
    "record changed",
    "record missing",
    "not in the ledger",
    "photograph missing",
    "photograph altered (CRC)",
    "photograph altered (hash)",
    "photograph swapped",
    "chain broken",
    "malformed entry",
    "duplicate entry",
    "MAC wrong",
    "checkpoint not extended",
    "torn tail",
    "sealed late",
    "no ledger",
    "instrument count gap",
    "no MAC check",
};

// After a failed open: true when `path` is simply not there; otherwise false
// with why set (a link whose target is gone is not a missing file).
bool Absent(const std::string& path, std::string& why)
{
    const int e = errno;
    struct stat st;
    if (e == ENOENT && lstat(path.c_str(), &st) != 0) return true;
    why = path + ": " + (e == ENOENT ? std::string("a symbolic link whose target is missing") : ErrorText(e));
    return false;
}

// The log as the next start-up will see it: the file mapped privately, with
// its journal laid over the copy. Never written back.
class LogView {
public:
    ~LogView()
    {
        if (m_Map) munmap(m_Map, m_Size);
    }
    // False (why set) when the file exists but cannot be read; a missing log
    // is an empty one.
    bool Open(const std::string& path, std::string& why)
    {
        uint64_t size = 0;
        // The journal the next start-up would apply must be readable, or
        // what that start-up will see cannot be told.
        const int jfd = OpenRegularFile(path + ".jnl");
        if (jfd >= 0) {
            close(jfd);
        } else if (!Absent(path + ".jnl", why)) {
            return false;
        }
        int fd = OpenRegularFile(path, &size);
        if (fd < 0) return Absent(path, why);  // a missing log is an empty one
        m_Size = static_cast<size_t>(size);
        if (m_Size > 0) {
            void* p = mmap(nullptr, m_Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_NORESERVE, fd, 0);
            if (p == MAP_FAILED) {
                const int e = errno;
                close(fd);
                m_Size = 0;
                why = path + ": " + ErrorText(e);
                return false;
            }
            m_Map = static_cast<unsigned char*>(p);
        }
        close(fd);
        // A journal only fits a whole image; the store never leaves another.
        if (m_Size == sizeof(DeviceData)) OverlayJournal(path, m_Map, m_Size);
        if (m_Size >= kDeviceDataHeaderSize) {
            // Only the header is read here: the counter is clamped as the store does.
            int32_t datacnt;
            std::memcpy(&datacnt, m_Map + offsetof(DeviceData, datacnt), sizeof datacnt);
            m_Count = std::clamp(datacnt, 0, kMaxRecords);
        }
        return true;
    }
    int32_t Count() const { return m_Count; }
    // The record in `slot`, or null where the file ends before it.
    const TestRecord* Slot(int32_t slot) const
    {
        const uint64_t at = kDeviceDataHeaderSize + uint64_t(slot) * sizeof(TestRecord);
        if (!m_Map || at + sizeof(TestRecord) > m_Size) return nullptr;
        return reinterpret_cast<const TestRecord*>(m_Map + at);
    }

private:
    unsigned char* m_Map = nullptr;
    size_t m_Size = 0;
    int32_t m_Count = 0;
};

// What tells a file changed: its inode, size and modification time.
struct FileStamp {
    bool exists = false;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec;
    }
};
FileStamp StampOf(const std::string& path)
{
    FileStamp f;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        f.exists = true;
        f.ino = st.st_ino;
        f.size = st.st_size;
        f.mtime = st.st_mtim;
    }
    return f;
}

struct DigestHash {
    size_t operator()(const Digest& d) const
    {
        size_t h;
        std::memcpy(&h, d.data(), sizeof h);
        return h;
    }
};

// What the workers share, read-only.
struct Plan {
    const LogView* log;
    const SealLedger* ledger;
    std::vector<int32_t> entryOf;  // per slot: index into ledger->entries, or -1
    std::unordered_map<Digest, int32_t, DigestHash> photoOwner;  // photo hash -> test number
    int32_t startNo = 0;
    int32_t slots = 0;
    std::string jpegDir;
    const AuditOptions* options;
};

// One worker's share of the result.
struct Tally {
    int64_t verified = 0, notSealed = 0;
    std::vector<AuditFinding> findings;
};

AuditFinding About(AuditKind kind, int32_t testno, const TestRecord* rec, std::string detail)
{
    AuditFinding f;
    f.kind = kind;
    f.testno = testno;
    f.detail = std::move(detail);
    if (rec) {
        f.hasRecord = true;
        f.date = FieldText(rec->m_Tyy, 4) + "-" + FieldText(rec->m_Tmm, 2) + "-" + FieldText(rec->m_Tdd, 2);
        f.time = RecordTimeText(*rec);
        f.id = ValidUtf8(FieldText(rec->id));
        f.name = ValidUtf8(FieldText(rec->name));
    }
    return f;
}

// The photograph file of the record in `slot`: whether there is one, and its bytes.
struct PhotoFile {
    bool present = false;
    std::string why;  // when present is false and the file exists
    std::vector<unsigned char> bytes;
};

PhotoFile ReadPhoto(const Plan& plan, const TestRecord& rec, int32_t testno)
{
    PhotoFile p;
    const std::string name = SafePhotoFileName(rec, testno);
    if (name.empty()) return p;
    p.present = ReadPhotoFile(plan.jpegDir + "/" + name, p.bytes);
    if (!p.present && errno != ENOENT) p.why = ErrorText(errno);
    return p;
}

// The photograph's check value; `refused` (with `why`) when its size kept it
// from the decoder: it then fails whatever the stored value.
uint16_t CheckValueOf(const PhotoFile& p, const TestRecord& rec, bool& refused, std::string& why)
{
    cv::Mat img;
    refused = p.present && DecodePhoto(p.bytes, img, &why) == PhotoStatus::Refused;
    return PhotoCheckValue(SamplePhoto(img), rec);
}

std::string Hex4(uint16_t v)
{
    char b[8];
    std::snprintf(b, sizeof b, "%04x", v);
    return b;
}

// A record before sealing began, or with no ledger: its check value only.
void CheckLegacy(const Plan& plan, const TestRecord& rec, int32_t testno, Tally& t)
{
    ++t.notSealed;
    if (!plan.options->photos) return;
    const PhotoFile p = ReadPhoto(plan, rec, testno);
    bool refused = false;
    std::string why;
    const uint16_t crc = CheckValueOf(p, rec, refused, why);
    // A file that cannot be read fails even where no photograph was stored.
    if (crc == rec.crc16 && !refused && p.why.empty()) return;
    if (!p.present)
        t.findings.push_back(About(AuditKind::PhotoMissing, testno, &rec,
                                   p.why.empty() ? "not sealed; its check value needs a photograph"
                                                 : "not sealed; cannot be read: " + p.why));
    else
        t.findings.push_back(
            About(AuditKind::PhotoAlteredCrc, testno, &rec,
                  refused ? "not sealed; not decoded: " + why
                          : "not sealed; check value " + Hex4(crc) + ", stored " + Hex4(rec.crc16)));
}

void CheckSealed(const Plan& plan, const TestRecord& rec, const SealEntry& e, int32_t testno, Tally& t)
{
    const size_t before = t.findings.size();
    const bool changed = RecordDigest(rec) != e.record;
    if (changed)
        t.findings.push_back(
            About(AuditKind::RecordChanged, testno, &rec, "record hash differs from its seal"));
    if (plan.options->photos) {
        const bool sealedPhoto = e.flags & kSealPhoto;
        const PhotoFile p = ReadPhoto(plan, rec, testno);
        bool swapped = false;
        if (p.present) {
            const Digest h = Sha256(p.bytes.data(), p.bytes.size());
            if (!sealedPhoto || h != e.photo) {
                auto it = plan.photoOwner.find(h);
                if (it != plan.photoOwner.end() && it->second != testno) {
                    swapped = true;
                    AuditFinding f = About(AuditKind::PhotoSwapped, testno, &rec,
                                           "the photograph of test " + std::to_string(it->second));
                    f.other = it->second;
                    t.findings.push_back(std::move(f));
                } else {
                    t.findings.push_back(About(AuditKind::PhotoAlteredHash, testno, &rec,
                                               sealedPhoto ? "photograph hash differs from its seal"
                                                           : "a photograph where the test stored none"));
                }
            }
        } else if ((sealedPhoto || !p.why.empty()) && !changed) {
            // A changed record may name its photograph differently: that is
            // told by the record finding already.
            t.findings.push_back(
                About(AuditKind::PhotoMissing, testno, &rec,
                      p.why.empty() ? "sealed with a photograph; no file" : "cannot be read: " + p.why));
        }
        // The check value covers the record's fields: only an unchanged
        // record can tell an altered photograph by it.
        if (!changed && !swapped && p.present) {
            bool refused = false;
            std::string why;
            const uint16_t crc = CheckValueOf(p, rec, refused, why);
            if (crc != rec.crc16 || refused)
                t.findings.push_back(About(AuditKind::PhotoAlteredCrc, testno, &rec,
                                           refused
                                               ? "not decoded: " + why
                                               : "check value " + Hex4(crc) + ", stored " + Hex4(rec.crc16)));
        }
    }
    if (e.flags & kSealLate)
        t.findings.push_back(
            About(AuditKind::LateSeal, testno, &rec, "sealed at start-up after an interrupted store"));
    bool fault = false;
    for (size_t i = before; i < t.findings.size(); ++i) fault |= !IsAuditNote(t.findings[i].kind);
    if (!fault) ++t.verified;
}

void CheckSlot(const Plan& plan, int32_t slot, Tally& t)
{
    const int32_t testno = slot + 1;
    const TestRecord* rec = slot < plan.log->Count() ? plan.log->Slot(slot) : nullptr;
    const bool empty = !rec || IsZero(rec, sizeof *rec);
    const bool present = !empty && rec->testno == testno;
    const int32_t ei = plan.entryOf[static_cast<size_t>(slot)];
    auto missing = [&] {
        if (slot >= plan.log->Count()) return std::string("beyond the log's count of records");
        if (!rec) return std::string("the log file ends before it");
        if (empty) return std::string("its slot is empty");
        return "its slot holds test number " + std::to_string(rec->testno);
    };
    if (ei >= 0) {
        if (present)
            CheckSealed(plan, *rec, plan.ledger->entries[static_cast<size_t>(ei)], testno, t);
        else
            t.findings.push_back(
                About(AuditKind::RecordMissing, testno, nullptr, "sealed, but " + missing()));
        return;
    }
    if (slot >= plan.log->Count()) return;
    if (!present) {
        t.findings.push_back(About(AuditKind::RecordMissing, testno, nullptr, missing()));
        return;
    }
    if (!plan.ledger->exists || testno <= plan.startNo) {
        CheckLegacy(plan, *rec, testno, t);
        return;
    }
    t.findings.push_back(About(AuditKind::EntryMissing, testno, rec, "stored after sealing began, no entry"));
}

bool Cancelled(const AuditOptions& o) { return o.cancel && o.cancel->load(std::memory_order_relaxed); }

}  // namespace

const char* AuditKindName(AuditKind k)
{
    const int i = static_cast<int>(k);
    return i >= 0 && i < kAuditKinds ? kKindNames[i] : "";
}

bool IsAuditNote(AuditKind k)
{
    return k == AuditKind::TornTail || k == AuditKind::LateSeal || k == AuditKind::NoLedger ||
           k == AuditKind::CountGap || k == AuditKind::NoMacCheck;
}

bool AuditResult::Clean() const
{
    if (status != Done) return false;
    for (int i = 0; i < kAuditKinds; ++i)
        if (counts[size_t(i)] && !IsAuditNote(static_cast<AuditKind>(i))) return false;
    return true;
}

AuditPaths AuditPathsOf(const std::string& programFolder)
{
    const std::string data = programFolder + "/data";
    return {data + "/measurelog.dat", data + "/seal.log", data + "/jpeg"};
}

AuditResult AuditLog(const AuditPaths& paths, const AuditOptions& options)
{
    AuditResult r;
    // The program may store a test meanwhile (log first, then its entry):
    // the pair is read again until neither file changed while it was read.
    std::unique_ptr<LogView> log;
    SealLedger ledger;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const FileStamp logBefore = StampOf(paths.log), journalBefore = StampOf(paths.log + ".jnl");
        log = std::make_unique<LogView>();
        if (!log->Open(paths.log, r.error)) {
            r.status = AuditResult::LogUnreadable;
            return r;
        }
        const FileStamp ledgerBefore = StampOf(paths.ledger);
        std::string why;
        if (!ReadSealLedger(paths.ledger, ledger, &why)) {
            r.status = AuditResult::LedgerUnreadable;
            r.error = paths.ledger + ": " + why;
            return r;
        }
        if (logBefore == StampOf(paths.log) && journalBefore == StampOf(paths.log + ".jnl") &&
            ledgerBefore == StampOf(paths.ledger))
            break;
    }
    const LogView& logView = *log;
    r.records = logView.Count();
    r.entries = static_cast<int64_t>(ledger.entries.size());

    std::vector<AuditFinding> ledgerFindings;
    auto ledgerFinding = [&](AuditKind kind, int32_t testno, int64_t entry, std::string detail) {
        AuditFinding f = About(kind, testno, nullptr, std::move(detail));
        f.entry = entry;
        ledgerFindings.push_back(std::move(f));
    };
    if (!ledger.exists)
        ledgerFinding(AuditKind::NoLedger, 0, -1,
                      "no seal ledger: every record is checked by its check value only");
    for (size_t pos : ledger.malformed)
        ledgerFinding(AuditKind::MalformedEntry, 0, int64_t(pos), "not an entry");
    for (size_t pos : ledger.breaks) {
        const auto it = std::lower_bound(ledger.position.begin(), ledger.position.end(), pos);
        const int32_t testno = it != ledger.position.end() && *it == pos
                                   ? ledger.entries[size_t(it - ledger.position.begin())].testno
                                   : 0;
        ledgerFinding(
            AuditKind::ChainBreak, testno, int64_t(pos),
            "chain does not follow from the entry before: entries are missing, changed or inserted");
    }
    AuditSealKeys(ledger, paths, options, ledgerFindings);
    if (ledger.tornBytes)
        ledgerFinding(AuditKind::TornTail, 0, int64_t(ledger.entries.size() + ledger.malformed.size()),
                      std::to_string(ledger.tornBytes) + " bytes of an append cut short");

    Plan plan;
    plan.log = &logView;
    plan.ledger = &ledger;
    plan.jpegDir = paths.jpegDir;
    plan.options = &options;
    int32_t maxTestNo = 0;
    for (size_t i = 0; i < ledger.entries.size(); ++i) {
        const SealEntry& e = ledger.entries[i];
        const bool start = e.flags & kSealStart;
        if (start && i == 0) {
            plan.startNo = std::max(0, e.testno);
            continue;
        }
        if (start || e.testno < 1 || e.testno > kMaxRecords)
            ledgerFinding(AuditKind::MalformedEntry, e.testno, int64_t(ledger.position[i]),
                          start ? "a start entry after the first" : "test number out of range");
        else
            maxTestNo = std::max(maxTestNo, e.testno);
    }
    r.startTestNo = plan.startNo;
    plan.slots = std::max(logView.Count(), maxTestNo);
    plan.entryOf.assign(size_t(plan.slots), -1);
    for (size_t i = 0; i < ledger.entries.size(); ++i) {
        const SealEntry& e = ledger.entries[i];
        if ((e.flags & kSealStart) || e.testno < 1 || e.testno > kMaxRecords) continue;
        int32_t& slot = plan.entryOf[size_t(e.testno - 1)];
        if (slot >= 0) {
            ledgerFinding(AuditKind::DuplicateEntry, e.testno, int64_t(ledger.position[i]),
                          "a second entry for the test; the first is checked");
            continue;
        }
        slot = int32_t(i);
        if (e.flags & kSealPhoto) plan.photoOwner.emplace(e.photo, e.testno);
    }

    if (options.total) options.total->store(plan.slots);
    if (options.done) options.done->store(0);
    unsigned n = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    n = std::min<unsigned>(n, std::max(1, plan.slots / 256 + 1));
    // Slots are handed out in chunks: photographs cluster, so fixed ranges
    // would leave a worker idle.
    constexpr int32_t kChunk = 512;
    std::atomic<int32_t> next{0};
    std::vector<Tally> tallies(n);
    auto work = [&](Tally& t) {
        for (;;) {
            if (Cancelled(options)) return;
            const int32_t first = next.fetch_add(kChunk);
            if (first >= plan.slots) return;
            const int32_t last = std::min(plan.slots, first + kChunk);
            for (int32_t s = first; s < last; ++s) CheckSlot(plan, s, t);
            if (options.done) options.done->fetch_add(last - first);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < n; ++i) workers.emplace_back(work, std::ref(tallies[i]));
    work(tallies[0]);
    for (std::thread& w : workers) w.join();
    if (Cancelled(options)) {
        r.status = AuditResult::Cancelled;
        return r;
    }

    std::vector<AuditFinding> perTest;
    for (Tally& t : tallies) {
        r.verified += t.verified;
        r.notSealed += t.notSealed;
        perTest.insert(perTest.end(), std::make_move_iterator(t.findings.begin()),
                       std::make_move_iterator(t.findings.end()));
    }
    std::stable_sort(ledgerFindings.begin(), ledgerFindings.end(),
                     [](const AuditFinding& a, const AuditFinding& b) { return a.entry < b.entry; });
    std::sort(perTest.begin(), perTest.end(), [](const AuditFinding& a, const AuditFinding& b) {
        return a.testno != b.testno ? a.testno < b.testno : a.kind < b.kind;
    });
    r.findings = std::move(ledgerFindings);
    r.findings.insert(r.findings.end(), std::make_move_iterator(perTest.begin()),
                      std::make_move_iterator(perTest.end()));
    for (const AuditFinding& f : r.findings) ++r.counts[size_t(f.kind)];
    return r;
}

std::string AuditFindingText(const AuditFinding& f)
{
    std::string s = AuditKindName(f.kind);
    if (f.testno) s += ", test " + std::to_string(f.testno);
    if (f.entry >= 0) s += ", ledger entry " + std::to_string(f.entry);
    if (f.hasRecord) s += " (" + f.date + " " + f.time + ", " + f.id + ", " + f.name + ")";
    if (!f.detail.empty()) s += ": " + f.detail;
    return s;
}

std::string AuditTable(const AuditResult& r)
{
    std::string out;
    char line[160];
    auto row = [&](const char* label, int64_t v) {
        std::snprintf(line, sizeof line, "%-28s %10lld\n", label, static_cast<long long>(v));
        out += line;
    };
    row("records in the log", r.records);
    row("ledger entries", r.entries);
    row("verified", r.verified);
    row("not sealed (CRC only)", r.notSealed);
    for (int i = 0; i < kAuditKinds; ++i) row(AuditKindName(static_cast<AuditKind>(i)), r.counts[size_t(i)]);
    out += "\n";
    for (const AuditFinding& f : r.findings) {
        std::snprintf(line, sizeof line, "%8d  %-26s ", f.testno, AuditKindName(f.kind));
        out += line;
        if (f.hasRecord) out += f.date + " " + f.time + "  " + f.id + "  " + f.name + "  ";
        if (f.entry >= 0) out += "entry " + std::to_string(f.entry) + ": ";
        out += f.detail + "\n";
    }
    out += r.Clean() ? "everything verifies\n" : "NOT everything verifies\n";
    return out;
}

namespace {
// A CSV field: quoted, quotes doubled, and a leading formula character made
// text so that a spreadsheet never runs a record's field.
std::string CsvField(const std::string& s)
{
    std::string q = "\"";
    if (!s.empty() && std::strchr("=+-@\t\r", s[0])) q += '\'';
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}
}  // namespace

std::string AuditCsv(const AuditResult& r)
{
    std::string out = "Category,Test No.,Ledger entry,Date,Time,ID,Name,Detail\n";
    for (const AuditFinding& f : r.findings) {
        out += CsvField(AuditKindName(f.kind)) + "," + (f.testno ? std::to_string(f.testno) : "") + "," +
               (f.entry >= 0 ? std::to_string(f.entry) : "") + "," + CsvField(f.date) + "," +
               CsvField(f.time) + "," + CsvField(f.id) + "," + CsvField(f.name) + "," + CsvField(f.detail) +
               "\n";
    }
    return out;
}

}  // namespace emtask
