#include "central/CentralAudit.h"

#include "central/CentralDb.h"
#include "central/CentralSettings.h"
#include "central/LocalFiles.h"

#include "EMTaskStruct.h"
#include "PhotoCheck.h"
#include "SealAudit.h"
#include "SealLedger.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <libpq-fe.h>

namespace central {

namespace {

// A ledger identity as the state file and the ledger's own texts write it.
std::string IdentityHex(const char* p, int n)
{
    emtask::Digest d{};
    std::memcpy(d.data(), p, std::min<size_t>(size_t(std::max(n, 0)), d.size()));
    return emtask::HexDigest(d, 2 * size_t(std::max(n, 0)));
}

constexpr int kFetch = 10000;

}  // namespace

CentralAuditResult AuditCentral(const std::string& folder, const std::string& url, const std::string& station)
{
    CentralAuditResult res;
    const emtask::AuditPaths paths = emtask::AuditPathsOf(folder);
    auto fail = [&](const std::string& why) {
        res.status = CentralAuditResult::Failed;
        res.why = why;
        return res;
    };
    int32_t count = 0;
    std::string why;
    if (!ReadLogCount(paths.log, count, why)) return fail(why);
    LedgerInfo ledger;
    if (!ReadLedgerInfo(paths.ledger, ledger, why)) return fail(why);
    // Where each test's entry lies in the station's ledger.
    std::vector<int64_t> entryOf(size_t(count) + 1, -1);
    const size_t entrySize = emtask::SealEntrySize(ledger.keyed);
    FileWindow entries(paths.ledger, 0, entrySize, ledger.count);
    for (uint64_t i = 0; ledger.exists && i < ledger.count; ++i) {
        const unsigned char* e = entries.At(i);
        if (!e) return fail("cannot read " + paths.ledger + ": " + emtask::ErrorText(errno ? errno : EIO));
        emtask::SealEntry d;
        if (emtask::DecodeSealEntry(e, d, ledger.keyed) && !(d.flags & emtask::kSealStart) && d.testno >= 1 &&
            d.testno <= count && entryOf[size_t(d.testno)] < 0)
            entryOf[size_t(d.testno)] = int64_t(i);
    }

    PgConnection db;
    switch (db.Open(url, why)) {
    case PgConnection::Status::BadString:
        res.status = CentralAuditResult::BadString;
        res.why = why;
        return res;
    case PgConnection::Status::Unreachable:
        res.status = CentralAuditResult::Unreachable;
        res.why = why;
        return res;
    case PgConnection::Status::Ok: break;
    }
    // Read in a cursor, a block at a time: a station may have a million rows.
    if (!db.Command("BEGIN READ ONLY", why) ||
        !db.Exec(
            "DECLARE central_audit NO SCROLL CURSOR FOR"
            " SELECT t.ledger, t.test_no, t.record, t.photo_sha256, t.seal FROM zolt7.tests t"
            " JOIN zolt7.stations s ON s.id = t.station_id WHERE s.name = $1 ORDER BY t.ledger, t.test_no",
            why, {station.c_str()}))
        return fail("cannot read the central copy: " + why);
    FileWindow slots(paths.log, emtask::kDeviceDataHeaderSize, sizeof(emtask::TestRecord), uint64_t(count));
    for (;;) {
        PgResult rows = db.Exec("FETCH " + std::to_string(kFetch) + " FROM central_audit", why);
        if (!rows) return fail("cannot read the central copy: " + why);
        const int n = PQntuples(rows.get());
        for (int i = 0; i < n; ++i) {
            ++res.compared;
            const std::string id = IdentityHex(PQgetvalue(rows.get(), i, 0), PQgetlength(rows.get(), i, 0));
            uint32_t v;
            std::memcpy(&v, PQgetvalue(rows.get(), i, 1), 4);
            const int32_t testno = static_cast<int32_t>(be32toh(v));
            auto finding = [&](const std::string& what) { res.findings.push_back({testno, id, what}); };
            const unsigned char* slot = testno >= 1 && testno <= count ? slots.At(uint64_t(testno - 1))
                                                                       : nullptr;
            if (testno >= 1 && testno <= count && !slot)
                return fail("cannot read " + paths.log + ": " + emtask::ErrorText(errno ? errno : EIO));
            emtask::TestRecord rec;
            if (slot) std::memcpy(&rec, slot, sizeof rec);
            if (!slot || rec.testno != testno) {
                finding("the station no longer has this test");
                continue;
            }
            std::string differs;
            auto add = [&](const char* w) { differs += (differs.empty() ? "" : ", ") + std::string(w); };
            if (PQgetlength(rows.get(), i, 2) != int(sizeof rec) ||
                std::memcmp(PQgetvalue(rows.get(), i, 2), &rec, sizeof rec) != 0)
                add("record");
            // Entries are compared under the ledger they were sent with;
            // one set aside since keeps its own.
            if (id == ledger.identity) {
                const int64_t at = entryOf[size_t(testno)];
                const unsigned char* e = at >= 0 ? entries.At(uint64_t(at)) : nullptr;
                const bool central = !PQgetisnull(rows.get(), i, 4);
                if (central != (e != nullptr) ||
                    (e && (PQgetlength(rows.get(), i, 4) != int(entrySize) ||
                           std::memcmp(PQgetvalue(rows.get(), i, 4), e, entrySize) != 0)))
                    add("seal entry");
            }
            emtask::Digest photo;
            const std::string name = emtask::SafePhotoFileName(rec, testno);
            const bool local = !name.empty() && emtask::Sha256File(paths.jpegDir + "/" + name, photo);
            const bool central = !PQgetisnull(rows.get(), i, 3);
            if (central != local ||
                (local && std::memcmp(PQgetvalue(rows.get(), i, 3), photo.data(), photo.size()) != 0))
                add("photograph");
            if (!differs.empty()) finding("the central copy differs in its " + differs);
        }
        if (n < kFetch) break;
    }
    std::string ignored;
    db.Command("COMMIT", ignored);
    res.status = CentralAuditResult::Done;
    return res;
}

int CentralAuditCommand(const std::string& folder, const std::string& url, const std::string& station)
{
    if (const std::string bad = CheckCentralSettings({url, station, true}); !bad.empty()) {
        std::fprintf(stderr, "audit: central: %s\n", bad.c_str());
        return 2;
    }
    const CentralAuditResult r = AuditCentral(folder, url, StationName(station));
    if (r.status != CentralAuditResult::Done) {
        std::fprintf(stderr, "audit: central: %s\n", r.why.c_str());
        return 2;
    }
    std::printf("Central copy of station %s: %lld tests compared, %zu findings\n",
                StationName(station).c_str(), static_cast<long long>(r.compared), r.findings.size());
    for (const CentralFinding& f : r.findings)
        std::printf("  central: test %d (ledger %s): %s\n", f.testno, f.ledger.c_str(), f.what.c_str());
    std::fflush(stdout);
    return r.findings.empty() ? 0 : 1;
}

}  // namespace central
