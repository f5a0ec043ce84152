#include "central/CentralSync.h"

#include "central/CentralDb.h"

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
#include <deque>
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

struct LedgerInfo {
    bool exists = false;
    bool keyed = false;
    uint64_t count = 0;       // whole entries
    int32_t startTestNo = 0;  // records up to it are not sealed
    std::string identity;     // 32 hex digits; zeros without a ledger
    std::string identityBytes;
};

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

struct Row {
    int32_t testno = 0;
    const TestRecord* rec = nullptr;
    std::string testedAt, id, name, result, number, unit, mode;
    emtask::Digest recordHash{};
    std::vector<unsigned char> photo;
    bool hasPhoto = false;
    emtask::Digest photoHash{};
    std::string seal;  // the entry's bytes as in the ledger; empty: none
};

// A statement's parameters: text values owned here, bytes pointed to.
struct Params {
    std::deque<std::string> own;
    std::vector<const char*> values;
    std::vector<int> lengths;  // -1: text
    void Text(std::string s)
    {
        own.push_back(std::move(s));
        values.push_back(own.back().c_str());
        lengths.push_back(-1);
    }
    void Null()
    {
        values.push_back(nullptr);
        lengths.push_back(-1);
    }
    void Bytes(const void* p, size_t n)
    {
        values.push_back(static_cast<const char*>(p));
        lengths.push_back(static_cast<int>(n));
    }
    std::string Next() const { return "$" + std::to_string(values.size() + 1); }
};

constexpr int kColumns = 14;
const char* const kInsert =
    "INSERT INTO zolt7.tests (station_id, ledger, test_no, tested_at, subject_id, subject_name,"
    " result_text, result_number, unit, mode, record, record_sha256, photo, photo_sha256, seal) VALUES ";

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
    unsigned char header[emtask::kDeviceDataHeaderSize];
    int32_t count = 0, initflag = 0;
    const int64_t got = emtask::ReadFileImage(paths.log, header, sizeof header);
    if (got < 0 && errno != ENOENT) return fail("cannot read " + paths.log + ": " + emtask::ErrorText(errno));
    std::memcpy(&initflag, header + offsetof(emtask::DeviceData, initflag), 4);
    if (got == int64_t(sizeof header) && initflag == emtask::kInitFlag) {
        std::memcpy(&count, header + offsetof(emtask::DeviceData, datacnt), 4);
        count = std::clamp(count, 0, emtask::kMaxRecords);
    }
    LedgerInfo ledger;
    std::string why;
    if (!ReadLedgerInfo(paths.ledger, ledger, why)) return fail(why);

    PgConnection db;
    switch (db.Open(o.url, why)) {
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

    const int rows = std::max(1, o.batchRows);
    std::vector<TestRecord> recs(static_cast<size_t>(rows));
    const size_t entrySize = emtask::SealEntrySize(ledger.keyed);
    uint64_t entryPos = ledger.exists ? FirstEntryFrom(paths.ledger, ledger, done + 1) : 0;
    std::vector<unsigned char> entry(entrySize);
    for (int batch = 0; done < count; ++batch) {
        const int n = std::min(rows, count - done);
        const int64_t want = int64_t(n) * int64_t(sizeof(TestRecord));
        if (emtask::ReadFileImageAt(paths.log,
                                    emtask::kDeviceDataHeaderSize + uint64_t(done) * sizeof(TestRecord),
                                    recs.data(), size_t(want)) != want)
            return fail("cannot read " + paths.log + ": " + emtask::ErrorText(errno ? errno : EIO));
        std::vector<Row> batchRows;
        bool storing = false;
        for (int i = 0; i < n; ++i) {
            const TestRecord& r = recs[size_t(i)];
            if (r.testno != done + i + 1) continue;  // an empty slot holds no test
            Row row;
            row.testno = r.testno;
            row.rec = &r;
            row.testedAt = TestedAt(r);
            row.id = Field(r.id, sizeof r.id);
            row.name = Field(r.name, sizeof r.name);
            row.result = Trimmed(Field(r.result, sizeof r.result));
            row.number = ResultNumber(row.result);
            row.unit = Field(r.unit, sizeof r.unit);
            row.mode = Field(&r.mode, 1);
            row.recordHash = emtask::Sha256(&r, sizeof r);
            const std::string photoName = emtask::SafePhotoFileName(r, r.testno);
            if (!photoName.empty()) {
                const std::string photoPath = paths.jpegDir + "/" + photoName;
                if (emtask::ReadPhotoFile(photoPath, row.photo)) {
                    row.hasPhoto = true;
                    row.photoHash = emtask::Sha256(row.photo.data(), row.photo.size());
                } else if (errno != ENOENT) {
                    res.waiting = count - mark;
                    return fail("cannot read " + photoPath + ": " + emtask::ErrorText(errno));
                }
            }
            // Entries follow test numbers in order: the one for this test, if any, is next.
            while (ledger.exists && entryPos < ledger.count) {
                if (emtask::ReadFileImageAt(paths.ledger, entryPos * entrySize, entry.data(), entrySize) !=
                    int64_t(entrySize))
                    return fail("cannot read " + paths.ledger + ": " +
                                emtask::ErrorText(errno ? errno : EIO));
                emtask::SealEntry e;
                if (!emtask::DecodeSealEntry(entry.data(), e, ledger.keyed) ||
                    (e.flags & emtask::kSealStart) || e.testno < r.testno) {
                    ++entryPos;
                    continue;
                }
                if (e.testno == r.testno) {
                    row.seal.assign(reinterpret_cast<const char*>(entry.data()), entrySize);
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
            batchRows.push_back(std::move(row));
        }
        const int32_t last = storing ? count - 1 : done + n;
        if (!batchRows.empty()) {
            Params p;
            p.Text(stationText);
            std::string sql = kInsert;
            for (size_t i = 0; i < batchRows.size(); ++i) {
                const Row& r = batchRows[i];
                sql += i ? ",(" : "(";
                sql += "$1";
                for (int c = 0; c < kColumns; ++c)
                    sql += ",$" + std::to_string(p.values.size() + 1 + size_t(c));
                sql += ")";
                p.Bytes(ledger.identityBytes.data(), 16);
                p.Text(std::to_string(r.testno));
                r.testedAt.empty() ? p.Null() : p.Text(r.testedAt);
                p.Text(r.id);
                p.Text(r.name);
                p.Text(r.result);
                r.number.empty() ? p.Null() : p.Text(r.number);
                p.Text(r.unit);
                p.Text(r.mode);
                p.Bytes(r.rec, sizeof(TestRecord));
                p.Bytes(r.recordHash.data(), 32);
                r.hasPhoto ? p.Bytes(r.photo.data(), r.photo.size()) : p.Null();
                r.hasPhoto ? p.Bytes(r.photoHash.data(), 32) : p.Null();
                r.seal.empty() ? p.Null() : p.Bytes(r.seal.data(), r.seal.size());
            }
            sql += " ON CONFLICT DO NOTHING RETURNING test_no";
            auto lost = [&](const std::string& w) {
                std::string ignored;
                db.Command("ROLLBACK", ignored);
                res.waiting = count - mark;
                return fail("could not send tests " + std::to_string(batchRows.front().testno) + " to " +
                            std::to_string(batchRows.back().testno) + ": " + w);
            };
            if (!db.Command("BEGIN", why)) return lost(why);
            PgResult ins = db.Exec(sql, why, p.values, p.lengths);
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
                    why, {stationText.c_str(), ledger.identityBytes.data(), ("{" + others + "}").c_str()},
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
    // conf/central.conf: "url=" and "station=" lines.
    std::ifstream conf(folder + "/conf/central.conf");
    for (std::string line; std::getline(conf, line);) {
        if (o.url.empty() && line.rfind("url=", 0) == 0) o.url = line.substr(4);
        if (o.station.empty() && line.rfind("station=", 0) == 0) o.station = line.substr(8);
    }
    if (o.url.empty()) {
        std::fprintf(stderr, "sync: no central database: give --central URL or set one in the settings\n");
        return 2;
    }
    if (o.station.empty()) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        o.station = host;
    }
    // The name is a line's last field in data/central.state.
    if (std::any_of(o.station.begin(), o.station.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
        std::fprintf(stderr, "sync: a station name is one line of printable text\n");
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
