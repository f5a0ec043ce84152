#include "central/CentralSync.h"

#include "central/CentralDb.h"
#include "central/CentralSettings.h"
#include "central/LocalFiles.h"

#include "EMTaskStruct.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "SealAudit.h"
#include "SealKey.h"
#include "SealLedger.h"
#include "TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <libpq-fe.h>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

namespace central {

namespace {

using emtask::TestRecord;

// ---- data/central.state ----

struct StateKey {
    std::string db, ledger, station;
    auto operator<=>(const StateKey&) const = default;
};
using SyncState = std::map<StateKey, int32_t>;

SyncState ReadState(const std::string& path)
{
    SyncState s;
    std::ifstream f(path);
    std::string line;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        StateKey k;
        long long n = 0;
        if (!(in >> k.db >> k.ledger >> n)) continue;
        in.get();
        std::getline(in, k.station);
        if (k.station.empty() || n < 0 || n > emtask::kMaxRecords) continue;
        s[k] = static_cast<int32_t>(n);
    }
    return s;
}

// Raises the line of `key` to `testno`. Another sync of the folder may have
// written meanwhile: its lines are kept and a line never goes down.
bool RaiseState(const std::string& path, const StateKey& key, int32_t testno, std::string& why)
{
    SyncState s = ReadState(path);
    int32_t& n = s[key];
    n = std::max(n, testno);
    std::string text;
    for (const auto& [k, v] : s)
        text += k.db + " " + k.ledger + " " + std::to_string(v) + " " + k.station + "\n";
    if (emtask::AtomicWriteFile(path, text.data(), text.size())) return true;
    why = emtask::LastFileError();
    return false;
}

// ---- the ledger ----

}  // namespace

bool ReadLogCount(const std::string& path, int32_t& count, std::string& why)
{
    unsigned char header[emtask::kDeviceDataHeaderSize];
    int32_t initflag = 0;
    count = 0;
    const int64_t got = emtask::ReadFileImage(path, header, sizeof header);
    if (got < 0 && errno != ENOENT) {
        why = "cannot read " + path + ": " + emtask::ErrorText(errno);
        return false;
    }
    std::memcpy(&initflag, header + offsetof(emtask::DeviceData, initflag), 4);
    if (got == int64_t(sizeof header) && initflag == emtask::kInitFlag) {
        std::memcpy(&count, header + offsetof(emtask::DeviceData, datacnt), 4);
        count = std::clamp(count, 0, emtask::kMaxRecords);
    }
    return true;
}

bool ReadLedgerInfo(const std::string& path, LedgerInfo& out, std::string& why)
{
    out.identityBytes.assign(16, '\0');
    out.identity.assign(32, '0');
    emtask::SealEntry first;
    if (!emtask::SealEntryAt(path, 0, first, &out.count)) {
        if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return true;
        if (out.count == 0) return true;  // created, nothing whole in it yet
        why = "cannot read " + path + ": " + emtask::ErrorText(errno);
        return false;
    }
    out.exists = true;
    out.keyed = first.keyed;
    if (first.flags & emtask::kSealStart) out.startTestNo = first.testno;
    const emtask::SealIdentity id = emtask::SealIdentityOf(first);
    out.identityBytes.assign(reinterpret_cast<const char*>(id.data()), id.size());
    out.identity = emtask::IdentityText(id);
    return true;
}

namespace {

// Position of the first entry sealing a test numbered `testno` or above.
uint64_t FirstEntryFrom(const std::string& path, const LedgerInfo& l, int32_t testno)
{
    uint64_t lo = 0, hi = l.count;
    while (lo < hi) {
        const uint64_t mid = lo + (hi - lo) / 2;
        emtask::SealEntry e;
        if (!emtask::SealEntryAt(path, mid, e)) return l.count;
        if ((e.flags & emtask::kSealStart) || e.testno < testno)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// ---- one row ----

std::string Field(const char* f, size_t n) { return emtask::ValidUtf8(emtask::FieldText(f, n)); }

std::string Trimmed(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    return s;
}

// "YYYY-MM-DD HH:MM:SS", or empty when the fields are not a date and time.
std::string TestedAt(const TestRecord& r)
{
    auto digits = [](const char* f, size_t n) {
        int v = 0;
        for (size_t i = 0; i < n; ++i) {
            if (f[i] < '0' || f[i] > '9') return -1;
            v = v * 10 + (f[i] - '0');
        }
        return v;
    };
    const int y = digits(r.m_Tyy, 4), mo = digits(r.m_Tmm, 2), d = digits(r.m_Tdd, 2), h = digits(r.m_Thh, 2),
              mi = digits(r.m_Tmi, 2), s = digits(r.m_Tss, 2);
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || h > 23 || mi > 59 || s > 59) return {};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo == 2 && d == 29 && !leap) return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return buf;
}

// The result as a number when it is one ("0.045"), else empty ("FLOW").
std::string ResultNumber(const std::string& text)
{
    size_t dots = 0, digits = 0;
    for (char c : text) {
        if (c == '.')
            ++dots;
        else if (c >= '0' && c <= '9')
            ++digits;
        else
            return {};
    }
    return dots <= 1 && digits > 0 ? text : std::string();
}

// What a sent row is checked against when the server already held its key.
struct Row {
    int32_t testno = 0;
    const TestRecord* rec = nullptr;
    bool hasPhoto = false;
    emtask::Digest photoHash{};
    std::string seal;  // the entry's bytes as in the ledger; empty: none
};

// Rows go to the server as binary COPY into a temporary table, then one
// INSERT ... SELECT per batch: the unique key still decides, and a batch's
// photographs are streamed, never held together. Every column is text,
// bytes or an integer here, so the binary form needs no type of the
// server's; the date and the number are cast on the way in.
const char* const kIncoming =
    "CREATE TEMP TABLE IF NOT EXISTS zolt7_incoming ("
    "  test_no integer, tested_at text, subject_id text, subject_name text, result_text text,"
    "  result_number text, unit text, mode text, record bytea, record_sha256 bytea, photo bytea,"
    "  photo_sha256 bytea, seal bytea) ON COMMIT DELETE ROWS";
constexpr int16_t kIncomingColumns = 13;
const char* const kCopy = "COPY pg_temp.zolt7_incoming FROM STDIN (FORMAT binary)";
const char* const kInsert =
    "INSERT INTO zolt7.tests (station_id, ledger, test_no, tested_at, subject_id, subject_name,"
    " result_text, result_number, unit, mode, record, record_sha256, photo, photo_sha256, seal)"
    " SELECT $1::bigint, $2::bytea, test_no, tested_at::timestamp, subject_id, subject_name, result_text,"
    " result_number::numeric, unit, mode, record, record_sha256, photo, photo_sha256, seal"
    " FROM pg_temp.zolt7_incoming ON CONFLICT DO NOTHING RETURNING test_no";

// The binary COPY stream: a signature, then per row the field count and
// each field as a length (-1: NULL) and its bytes, all big-endian.
class CopyStream {
public:
    CopyStream() { m_Buf.assign("PGCOPY\n\xff\r\n\0\0\0\0\0\0\0\0\0", 19); }
    void Row(int16_t fields) { Put16(fields); }
    void Bytes(const void* p, size_t n)
    {
        Put32(static_cast<uint32_t>(n));
        m_Buf.append(static_cast<const char*>(p), n);
    }
    void Text(const std::string& t) { Bytes(t.data(), t.size()); }
    void TextOrNull(const std::string& t) { t.empty() ? Null() : Text(t); }
    void Int(int32_t v)
    {
        Put32(4);
        Put32(static_cast<uint32_t>(v));
    }
    void Null() { Put32(0xffffffffu); }
    void End() { Put16(-1); }
    size_t Size() const { return m_Buf.size(); }
    // Hands the bytes so far to `send` and starts empty.
    template <class F>
    bool Flush(F send)
    {
        const bool ok = m_Buf.empty() || send(m_Buf);
        m_Buf.clear();
        return ok;
    }

private:
    void Put16(int16_t v)
    {
        const uint16_t b = htobe16(static_cast<uint16_t>(v));
        m_Buf.append(reinterpret_cast<const char*>(&b), 2);
    }
    void Put32(uint32_t v)
    {
        const uint32_t b = htobe32(v);
        m_Buf.append(reinterpret_cast<const char*>(&b), 4);
    }
    std::string m_Buf;
};

// Bytes gathered before they go to the server.
constexpr size_t kCopyChunk = 1 << 20;

std::string Missing(const Row& r, const char* rec, int recLen, const char* photoSha, int photoShaLen,
                    const char* seal, int sealLen)
{
    std::string what;
    auto add = [&](const char* w) { what += (what.empty() ? "" : ", ") + std::string(w); };
    if (recLen != 276 || std::memcmp(rec, r.rec, 276) != 0) add("record");
    if (r.hasPhoto != (photoShaLen == 32) ||
        (r.hasPhoto && std::memcmp(photoSha, r.photoHash.data(), 32) != 0))
        add("photograph");
    if (static_cast<size_t>(sealLen) != r.seal.size() || std::memcmp(seal, r.seal.data(), r.seal.size()) != 0)
        add("seal entry");
    return what;
}

}  // namespace

std::string SyncStatePath(const std::string& folder) { return folder + "/data/central.state"; }

int SyncExitCode(const SyncResult& r)
{
    switch (r.status) {
    case SyncResult::UpToDate: return 0;
    case SyncResult::Incomplete: return 1;
    default: return 2;
    }
}

SyncResult SyncFolder(const SyncOptions& o)
{
    SyncResult res;
    const emtask::AuditPaths paths = emtask::AuditPathsOf(o.folder);
    const std::string statePath = SyncStatePath(o.folder);
    auto fail = [&](const std::string& why) {
        res.status = SyncResult::Incomplete;
        res.why = why;
        return res;
    };

    // What the folder holds: the log's count from its header, the ledger's identity.
    int32_t count = 0;
    std::string why;
    if (!ReadLogCount(paths.log, count, why)) return fail(why);
    LedgerInfo ledger;
    if (!ReadLedgerInfo(paths.ledger, ledger, why)) return fail(why);

    PgConnection db;
    switch (db.Open(o.url, why, o.stop)) {
    case PgConnection::Status::BadString:
        res.status = SyncResult::BadString;
        res.why = why;
        return res;
    case PgConnection::Status::Unreachable:
        res.status = SyncResult::Unreachable;
        res.why = why;
        return res;
    case PgConnection::Status::Ok: break;
    }
    std::string dbId;
    int64_t stationId = 0;
    if (!EnsureSchema(db, why) || !DatabaseId(db, dbId, why) || !StationId(db, o.station, stationId, why))
        return fail(why);
    const std::string stationText = std::to_string(stationId);

    // Where to begin: after this ledger's last confirmed test. Tests a ledger
    // begun beside the log does not seal went under the ledger before it.
    const StateKey key{dbId, ledger.identity, o.station};
    const SyncState state = ReadState(statePath);
    int32_t done = state.count(key) ? state.at(key) : 0, other = 0;
    for (const auto& [k, v] : state)
        if (k.db == dbId && k.station == o.station && k.ledger != ledger.identity) other = std::max(other, v);
    done = std::max(done, std::min(other, ledger.startTestNo));
    int32_t mark = done;  // what the state file says after this run
    bool conflicted = false;

    if (!db.Command(kIncoming, why)) return fail(why);
    const std::string ledgerText(ledger.identityBytes);
    const int rows = std::max(1, o.batchRows);
    std::vector<TestRecord> recs(static_cast<size_t>(rows));
    const size_t entrySize = emtask::SealEntrySize(ledger.keyed);
    uint64_t entryPos = ledger.exists ? FirstEntryFrom(paths.ledger, ledger, done + 1) : 0;
    FileWindow entries(paths.ledger, 0, entrySize, ledger.count);
    std::vector<unsigned char> photo;
    for (int batch = 0; done < count; ++batch) {
        const int n = std::min(rows, count - done);
        const int64_t want = int64_t(n) * int64_t(sizeof(TestRecord));
        if (emtask::ReadFileImageAt(paths.log,
                                    emtask::kDeviceDataHeaderSize + uint64_t(done) * sizeof(TestRecord),
                                    recs.data(), size_t(want)) != want)
            return fail("cannot read " + paths.log + ": " + emtask::ErrorText(errno ? errno : EIO));
        std::vector<Row> batchRows;
        bool storing = false;
        CopyStream copy;
        auto send = [&](const std::string& bytes) { return db.CopyData(bytes, why); };
        auto lost = [&](const std::string& w) {
            std::string ignored;
            db.CopyEnd(ignored, true);
            db.Command("ROLLBACK", ignored);
            res.waiting = count - mark;
            const int32_t first = batchRows.empty() ? done + 1 : batchRows.front().testno;
            const int32_t to = batchRows.empty() ? done + n : batchRows.back().testno;
            return fail("could not send tests " + std::to_string(first) + " to " + std::to_string(to) + ": " +
                        w);
        };
        for (int i = 0; i < n; ++i) {
            const TestRecord& r = recs[size_t(i)];
            if (r.testno != done + i + 1) continue;  // an empty slot holds no test
            Row row;
            row.testno = r.testno;
            row.rec = &r;
            photo.clear();
            const std::string photoName = emtask::SafePhotoFileName(r, r.testno);
            if (!photoName.empty()) {
                const std::string photoPath = paths.jpegDir + "/" + photoName;
                if (emtask::ReadPhotoFile(photoPath, photo)) {
                    row.hasPhoto = true;
                    row.photoHash = emtask::Sha256(photo.data(), photo.size());
                } else if (errno != ENOENT) {
                    const std::string w = "cannot read " + photoPath + ": " + emtask::ErrorText(errno);
                    if (!batchRows.empty()) return lost(w);
                    res.waiting = count - mark;
                    return fail(w);
                }
            }
            // Entries follow test numbers in order: the one for this test, if any, is next.
            while (ledger.exists && entryPos < ledger.count) {
                const unsigned char* entry = entries.At(entryPos);
                if (!entry)
                    return lost("cannot read " + paths.ledger + ": " +
                                emtask::ErrorText(errno ? errno : EIO));
                emtask::SealEntry e;
                if (!emtask::DecodeSealEntry(entry, e, ledger.keyed) || (e.flags & emtask::kSealStart) ||
                    e.testno < r.testno) {
                    ++entryPos;
                    continue;
                }
                if (e.testno == r.testno) {
                    row.seal.assign(reinterpret_cast<const char*>(entry), entrySize);
                    ++entryPos;
                }
                break;
            }
            // The store writes the log, then the entry: the newest test
            // without one is being stored, and waits for it.
            if (row.seal.empty() && ledger.exists && r.testno > ledger.startTestNo && r.testno == count) {
                storing = true;
                break;
            }
            if (batchRows.empty() && !(db.Command("BEGIN", why) && db.CopyBegin(kCopy, why)))
                return lost(why);
            const emtask::Digest recordHash = emtask::Sha256(&r, sizeof r);
            const std::string result = Trimmed(Field(r.result, sizeof r.result));
            copy.Row(kIncomingColumns);
            copy.Int(r.testno);
            copy.TextOrNull(TestedAt(r));
            copy.Text(Field(r.id, sizeof r.id));
            copy.Text(Field(r.name, sizeof r.name));
            copy.Text(result);
            copy.TextOrNull(ResultNumber(result));
            copy.Text(Field(r.unit, sizeof r.unit));
            copy.Text(Field(&r.mode, 1));
            copy.Bytes(&r, sizeof r);
            copy.Bytes(recordHash.data(), recordHash.size());
            row.hasPhoto ? copy.Bytes(photo.data(), photo.size()) : copy.Null();
            row.hasPhoto ? copy.Bytes(row.photoHash.data(), row.photoHash.size()) : copy.Null();
            row.seal.empty() ? copy.Null() : copy.Bytes(row.seal.data(), row.seal.size());
            batchRows.push_back(std::move(row));
            if (copy.Size() >= kCopyChunk && !copy.Flush(send)) return lost(why);
        }
        const int32_t last = storing ? count - 1 : done + n;
        if (!batchRows.empty()) {
            copy.End();
            if (!copy.Flush(send) || !db.CopyEnd(why)) return lost(why);
            PgResult ins = db.Exec(kInsert, why, {stationText.c_str(), ledgerText.data()}, {-1, 16});
            if (!ins) return lost(why);
            std::set<int32_t> inserted;
            for (int i = 0; i < PQntuples(ins.get()); ++i) {
                uint32_t v;
                std::memcpy(&v, PQgetvalue(ins.get(), i, 0), 4);
                inserted.insert(static_cast<int32_t>(be32toh(v)));
            }
            res.sent += int64_t(inserted.size());
            // Rows the server already held must be ours to the byte.
            std::string others;
            for (const Row& r : batchRows)
                if (!inserted.count(r.testno))
                    others += (others.empty() ? "" : ",") + std::to_string(r.testno);
            std::vector<SyncConflict> found;
            if (!others.empty()) {
                PgResult have = db.Exec(
                    "SELECT test_no, record, photo_sha256, seal FROM zolt7.tests"
                    " WHERE station_id = $1 AND ledger = $2 AND test_no = ANY($3::int[])",
                    why, {stationText.c_str(), ledgerText.data(), ("{" + others + "}").c_str()},
                    {-1, 16, -1});
                if (!have) return lost(why);
                std::map<int32_t, int> at;
                for (int i = 0; i < PQntuples(have.get()); ++i) {
                    uint32_t v;
                    std::memcpy(&v, PQgetvalue(have.get(), i, 0), 4);
                    at[static_cast<int32_t>(be32toh(v))] = i;
                }
                for (const Row& r : batchRows) {
                    if (inserted.count(r.testno)) continue;
                    const auto it = at.find(r.testno);
                    if (it == at.end())
                        return lost("test " + std::to_string(r.testno) + " neither taken nor found");
                    const int i = it->second;
                    const std::string what = Missing(
                        r, PQgetvalue(have.get(), i, 1), PQgetlength(have.get(), i, 1),
                        PQgetvalue(have.get(), i, 2),
                        PQgetisnull(have.get(), i, 2) ? 0 : PQgetlength(have.get(), i, 2),
                        PQgetvalue(have.get(), i, 3),
                        PQgetisnull(have.get(), i, 3) ? 0 : PQgetlength(have.get(), i, 3));
                    if (what.empty())
                        ++res.present;
                    else
                        found.push_back({r.testno, "the central row differs in its " + what});
                }
            }
            if (o.stageHook && !o.stageHook(batch, SyncOptions::Inserted)) return lost("stopped");
            if (!db.Command("COMMIT", why)) return lost(why);
            if (o.stageHook && !o.stageHook(batch, SyncOptions::Committed)) {
                res.waiting = count - mark;
                return fail("stopped");
            }
            if (!found.empty() && !conflicted) {
                conflicted = true;
                mark = found.front().testno - 1;
                if (mark > done && !RaiseState(statePath, key, mark, why)) return fail(why);
            }
            res.conflicts.insert(res.conflicts.end(), found.begin(), found.end());
        }
        done = last;
        if (!conflicted) {
            if (!RaiseState(statePath, key, last, why)) return fail("cannot record what was sent: " + why);
            mark = last;
        }
        if (storing) {
            res.waiting = count - mark;
            return fail("test " + std::to_string(count) +
                        " is being stored (its seal entry is not written yet)");
        }
    }
    res.waiting = count - mark;
    if (!res.conflicts.empty())
        return fail(std::to_string(res.conflicts.size()) + " test(s) conflict with the central database");
    res.status = SyncResult::UpToDate;
    return res;
}

int SyncCommand(const std::string& folder, const std::string& url, const std::string& station)
{
    SyncOptions o;
    o.folder = folder;
    o.url = url;
    o.station = station;
    CentralSettings conf;
    std::string why;
    if ((o.url.empty() || o.station.empty()) && !ReadCentralSettings(folder, conf, why)) {
        std::fprintf(stderr, "sync: %s\n", why.c_str());
        return 2;
    }
    if (o.url.empty()) o.url = conf.url;
    o.station = StationName(o.station.empty() ? conf.station : o.station);
    if (o.url.empty()) {
        std::fprintf(stderr, "sync: no central database: give --central URL or set one in the settings\n");
        return 2;
    }
    // The name is a line's last field in data/central.state.
    if (const std::string bad = CheckCentralSettings({o.url, o.station, true}); !bad.empty()) {
        std::fprintf(stderr, "sync: %s\n", bad.c_str());
        return 2;
    }
    const SyncResult r = SyncFolder(o);
    for (const SyncConflict& c : r.conflicts)
        std::fprintf(stderr, "sync: conflict at test %d: %s (not overwritten)\n", c.testno, c.what.c_str());
    if (r.status == SyncResult::UpToDate)
        std::fprintf(stderr, "sync: up to date (%lld sent, %lld already there)\n",
                     static_cast<long long>(r.sent), static_cast<long long>(r.present));
    else
        std::fprintf(stderr, "sync: %s (%lld sent, %lld waiting)\n", r.why.c_str(),
                     static_cast<long long>(r.sent), static_cast<long long>(r.waiting));
    return SyncExitCode(r);
}

}  // namespace central
