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
#include <dirent.h>
#include <exception>
#include <memory>
#include <mutex>
#include <opencv2/core.hpp>
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>

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
    "unsealed records",
    "photograph of no record",
    "date runs backwards",
    "audit failed",
    "torn tail",
    "sealed late",
    "no ledger",
    "instrument count gap",
    "no MAC check",
    "store in progress?",
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

// What the workers share, read-only.
struct Plan {
    const LogView* log;
    const SealLedger* ledger;
    std::vector<int32_t> entryOf;  // per slot: index into ledger->entries, or -1
    // Photograph hash -> test number, sorted by hash: the ledger's writer
    // chooses the hashes, and a sorted table has no collisions to craft.
    std::vector<std::pair<Digest, int32_t>> photoOwner;
    int32_t startNo = 0;
    int64_t nextSealed = 1;  // the test number the ledger's next entry is due for
    int32_t slots = 0;
    std::string jpegDir;
    const AuditOptions* options;
};

// One worker's share of the result.
struct Tally {
    int64_t verified = 0, notSealed = 0;
    std::vector<AuditFinding> findings;
};

// Text from the files as shown in the table, the CSV and the window: no
// control character (C0, DEL, C1) reaches a terminal or a spreadsheet raw,
// and a backslash is doubled so that no escape can be forged.
std::string Escaped(const std::string& utf8)
{
    std::string out;
    char hex[8];
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7f) {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {
            std::snprintf(hex, sizeof hex, "\\u%04x", next);
            out += hex;
            ++i;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

// The photograph table's owner of `hash`: the first entry that sealed it, or 0.
int32_t PhotoOwner(const Plan& plan, const Digest& hash)
{
    const auto it = std::lower_bound(plan.photoOwner.begin(), plan.photoOwner.end(), hash,
                                     [](const auto& e, const Digest& h) { return e.first < h; });
    return it != plan.photoOwner.end() && it->first == hash ? it->second : 0;
}

AuditFinding About(AuditKind kind, int32_t testno, const TestRecord* rec, std::string detail)
{
    AuditFinding f;
    f.kind = kind;
    f.testno = testno;
    f.detail = std::move(detail);
    if (rec) {
        f.hasRecord = true;
        f.date = Escaped(ValidUtf8(FieldText(rec->m_Tyy, 4) + "-" + FieldText(rec->m_Tmm, 2) + "-" +
                                   FieldText(rec->m_Tdd, 2)));
        f.time = Escaped(ValidUtf8(RecordTimeText(*rec)));
        f.id = Escaped(ValidUtf8(FieldText(rec->id)));
        f.name = Escaped(ValidUtf8(FieldText(rec->name)));
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
        bool hashFailed = false;
        if (p.present) {
            const Digest h = Sha256(p.bytes.data(), p.bytes.size());
            hashFailed = !sealedPhoto || h != e.photo;
            if (hashFailed) {
                const int32_t owner = PhotoOwner(plan, h);
                if (owner && owner != testno) {
                    AuditFinding f = About(AuditKind::PhotoSwapped, testno, &rec,
                                           "the photograph of test " + std::to_string(owner));
                    f.other = owner;
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
        // record can tell an altered photograph by it. A file whose hash
        // failed is not decoded: it is told already, and the decoder is the
        // dearest part of the audit to hand to whoever wrote the file.
        if (!changed && !hashFailed && p.present) {
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
    // A store saves the log, then appends the entry: the newest record whose
    // entry is the next due is a store between the two (or one cut short,
    // which the next start-up seals late, on the same test). The program's
    // lock cannot tell: it is held for the whole run, not for a store.
    if (testno == plan.log->Count() && testno == plan.nextSealed) {
        t.findings.push_back(About(AuditKind::StoreInProgress, testno, rec,
                                   "no entry yet: a store in progress, or sealed at the next start-up"));
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
           k == AuditKind::CountGap || k == AuditKind::NoMacCheck || k == AuditKind::StoreInProgress;
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

namespace {

// Seconds of a record's date and time on a proleptic calendar (days from
// the civil date), for order only: fields that are not digits count as 0.
int64_t RecordSeconds(const TestRecord& r)
{
    const int m = DigitsValue(r.m_Tmm, 2), d = DigitsValue(r.m_Tdd, 2);
    const int64_t y = DigitsValue(r.m_Tyy, 4) - (m <= 2);
    const int64_t era = y / 400, yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return days * 86400 + DigitsValue(r.m_Thh, 2) * 3600 + DigitsValue(r.m_Tmi, 2) * 60 +
           DigitsValue(r.m_Tss, 2);
}

// Tests dated before the test stored before them. The record's time is the
// computer's local time: a step back of up to an hour is the clock being put
// back (summer time ending, a correction) and is not told.
void FindDatesBackwards(const LogView& log, std::vector<AuditFinding>& out)
{
    const TestRecord* prev = nullptr;
    int64_t prevAt = 0;
    for (int32_t slot = 0; slot < log.Count(); ++slot) {
        const TestRecord* rec = log.Slot(slot);
        if (!rec || rec->testno != slot + 1) continue;
        const int64_t at = RecordSeconds(*rec);
        if (prev && at < prevAt - 3600)
            out.push_back(
                About(AuditKind::DateBackwards, rec->testno, rec,
                      "dated before test " + std::to_string(prev->testno) + " (" +
                          Escaped(ValidUtf8(FieldText(prev->m_Tyy, 4) + "-" + FieldText(prev->m_Tmm, 2) +
                                            "-" + FieldText(prev->m_Tdd, 2) + " " + RecordTimeText(*prev))) +
                          ")"));
        prev = rec;
        prevAt = at;
    }
}

// Files in the photograph folder that no record names. A test whose record
// is changed or missing is told already, whatever its photograph is called.
// False (why set) when the folder cannot be listed.
bool FindOrphans(const Plan& plan, const std::unordered_set<int32_t>& told, std::vector<AuditFinding>& out,
                 std::string& why)
{
    DIR* dir = opendir(plan.jpegDir.c_str());
    if (!dir) {
        if (errno == ENOENT) return true;
        why = plan.jpegDir + ": " + ErrorText(errno);
        return false;
    }
    static const char kTmp[] = ".jpg.tmp";
    const int32_t count = plan.log->Count();
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir);
        if (!d) break;
        const std::string name = d->d_name;
        const size_t n = name.size();
        if (name == "." || name == "..") continue;
        // A photograph being written, or left by a save cut short (start-up removes it).
        if (n > sizeof kTmp - 1 && strcasecmp(name.c_str() + n - (sizeof kTmp - 1), kTmp) == 0) continue;
        int32_t testno = 0;
        if (n > 9 && name[8] == '-' &&
            std::all_of(name.begin(), name.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }))
            testno = std::stoi(name.substr(0, 8));
        if (testno >= 1 && testno <= count) {
            const TestRecord* rec = plan.log->Slot(testno - 1);
            if (rec && rec->testno == testno && SafePhotoFileName(*rec, testno) == name) continue;
        }
        if (testno && told.count(testno)) continue;
        // The store writes the photograph before the log.
        if (testno >= 1 && testno == int64_t(count) + 1) {
            out.push_back(About(AuditKind::StoreInProgress, testno, nullptr,
                                "photograph of the next test, no record yet: " + Escaped(ValidUtf8(name))));
            continue;
        }
        out.push_back(About(AuditKind::PhotoOrphan, testno, nullptr,
                            "belongs to no record: " + Escaped(ValidUtf8(name))));
    }
    const int e = errno;
    closedir(dir);
    if (e) why = plan.jpegDir + ": " + ErrorText(e);
    return e == 0;
}

AuditResult Failed(std::string why)
{
    AuditResult r;
    r.status = AuditResult::Failed;
    r.error = std::move(why);
    r.findings.push_back(About(AuditKind::AuditFailed, 0, nullptr, r.error + ": nothing is vouched for"));
    ++r.counts[size_t(AuditKind::AuditFailed)];
    return r;
}

AuditResult AuditUnguarded(const AuditPaths& paths, const AuditOptions& options)
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
    if (ledger.exists) {
        const SealEntry* last = ledger.entries.empty() ? nullptr : &ledger.entries.back();
        plan.nextSealed = last ? int64_t(last->testno) + 1 : 1;
    }
    // Records no ledger covers: every one without a ledger, those up to the
    // start entry's number with one. The files cannot show that they came
    // before sealing began (the start entry is anyone's to write): only the
    // auditor can accept them.
    const int64_t unsealedTo = ledger.exists ? plan.startNo : logView.Count();
    const int64_t firstRefused = std::max(1, options.acceptUnsealedBefore);
    if (unsealedTo >= firstRefused) {
        std::string d = "tests " + std::to_string(firstRefused) + " to " + std::to_string(unsealedTo) +
                        " are not sealed: " +
                        (ledger.exists ? "the ledger begins after test " + std::to_string(plan.startNo)
                                       : std::string("no ledger"));
        if (firstRefused > 1) d += "; unsealed tests are accepted only below " + std::to_string(firstRefused);
        ledgerFinding(AuditKind::Unsealed, int32_t(firstRefused),
                      ledger.exists ? int64_t(ledger.position[0]) : -1, d);
    }
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
        if (e.flags & kSealPhoto) plan.photoOwner.emplace_back(e.photo, e.testno);
    }
    // Stable: of entries sealing one photograph the first is its owner.
    std::stable_sort(plan.photoOwner.begin(), plan.photoOwner.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    if (options.total) options.total->store(plan.slots);
    if (options.done) options.done->store(0);
    unsigned n = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    n = std::min<unsigned>(n, std::max(1, plan.slots / 256 + 1));
    // Slots are handed out in chunks: photographs cluster, so fixed ranges
    // would leave a worker idle.
    constexpr int32_t kChunk = 512;
    std::atomic<int32_t> next{0};
    std::vector<Tally> tallies(n);
    // An exception must not leave a worker's thread (that ends the program):
    // the first is kept, the others stop, and the audit fails.
    std::mutex failMutex;
    std::string failure;
    std::atomic<bool> failed{false};
    auto work = [&](Tally& t) {
        try {
            for (;;) {
                if (Cancelled(options) || failed.load(std::memory_order_relaxed)) return;
                const int32_t first = next.fetch_add(kChunk);
                if (first >= plan.slots) return;
                const int32_t last = std::min(plan.slots, first + kChunk);
                for (int32_t s = first; s < last; ++s) {
                    if (options.beforeSlot) options.beforeSlot(s);
                    CheckSlot(plan, s, t);
                }
                if (options.done) options.done->fetch_add(last - first);
            }
        } catch (...) {
            std::string what = "unknown exception";
            try {
                throw;
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) { }
            std::lock_guard<std::mutex> lock(failMutex);
            if (!failed.exchange(true)) failure = "a worker of the audit stopped: " + what;
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < n; ++i) workers.emplace_back(work, std::ref(tallies[i]));
    work(tallies[0]);
    for (std::thread& w : workers) w.join();
    if (failed) return Failed(failure);
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
    FindDatesBackwards(logView, perTest);
    if (options.photos) {
        std::unordered_set<int32_t> told;
        for (const AuditFinding& f : perTest)
            if (f.kind == AuditKind::RecordChanged || f.kind == AuditKind::RecordMissing)
                told.insert(f.testno);
        std::string why;
        if (!FindOrphans(plan, told, perTest, why)) return Failed("cannot list " + why);
    }
    std::stable_sort(perTest.begin(), perTest.end(), [](const AuditFinding& a, const AuditFinding& b) {
        return a.testno != b.testno ? a.testno < b.testno : a.kind < b.kind;
    });
    r.findings = std::move(ledgerFindings);
    r.findings.insert(r.findings.end(), std::make_move_iterator(perTest.begin()),
                      std::make_move_iterator(perTest.end()));
    for (const AuditFinding& f : r.findings) ++r.counts[size_t(f.kind)];
    return r;
}

}  // namespace

AuditResult AuditLog(const AuditPaths& paths, const AuditOptions& options)
{
    try {
        return AuditUnguarded(paths, options);
    } catch (const std::exception& e) {
        return Failed(std::string("the audit stopped: ") + e.what());
    } catch (...) {
        return Failed("the audit stopped: unknown exception");
    }
}

int AuditExitCode(const AuditResult& r)
{
    if (r.status != AuditResult::Done) return 2;
    return r.Clean() ? 0 : 1;
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
