// The audit of a whole test log against its seal ledger: every record against
// its entry, every photograph against its record's check value and its
// entry's hash, and the ledger's own chain. Reads the files only, never the
// store's memory (which may hold an archive), and never writes.
#pragma once

#include "SealLedger.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace emtask {

struct SealKeySheet;
struct SealCheckpoint;

enum class AuditKind {
    // Faults.
    RecordChanged,     // the record's hash differs from its entry's
    RecordMissing,     // an entry with no record (beyond the count, or an empty or foreign slot)
    EntryMissing,      // a record after the ledger's start with no entry
    PhotoMissing,      // sealed with a photograph, or a check value that needs one, and no file
    PhotoAlteredCrc,   // the file's check value differs from the record's
    PhotoAlteredHash,  // the file's hash differs from its entry's
    PhotoSwapped,      // the file is the photograph of another test
    ChainBreak,        // an entry whose chain value does not follow from the one before
    MalformedEntry,    // bytes in the ledger that are not an entry, or an entry out of place
    DuplicateEntry,    // a second entry for one test number
    MacWrong,          // an entry (or seal.key) that does not follow from the key sheet
    CheckpointBroken,  // the ledger does not extend the checkpoint given
    Unsealed,          // records no ledger covers (none, or one begun after them) not accepted as such
    PhotoOrphan,       // a file in the photograph folder that no record names
    DateBackwards,     // a test dated over an hour before the test stored before it
    AuditFailed,       // the audit itself stopped (a worker's exception): it vouches for nothing
    // Notes: not faults.
    TornTail,         // an append cut short at the end of the ledger
    LateSeal,         // sealed at start-up after an interrupted store
    NoLedger,         // no ledger: every record is checked by its check value only
    CountGap,         // the instrument's own test count skips or repeats between entries
    NoMacCheck,       // MACs not checked: no key sheet, or entries without MACs
    StoreInProgress,  // the newest test's record or photograph ahead of its entry
    Count
};
constexpr int kAuditKinds = static_cast<int>(AuditKind::Count);

// Short name of a kind, as in the table and the CSV.
const char* AuditKindName(AuditKind k);
bool IsAuditNote(AuditKind k);

struct AuditFinding {
    AuditKind kind = AuditKind::RecordChanged;
    int32_t testno = 0;      // 0 when no test is concerned (a torn tail)
    int64_t entry = -1;      // ledger entry number (from 0) for findings about the ledger
    int32_t other = 0;       // PhotoSwapped: the test whose photograph it is
    bool hasRecord = false;  // the fields below are the record's
    std::string date, time, id, name;
    std::string detail;
};

struct AuditOptions {
    unsigned threads = 0;                        // 0: one per core
    bool photos = true;                          // false: records and ledger only
    std::atomic<bool>* cancel = nullptr;         // set to stop promptly
    std::atomic<int64_t>* done = nullptr;        // slots checked so far
    std::atomic<int64_t>* total = nullptr;       // slots to check, set before the first is
    const SealKeySheet* keySheet = nullptr;      // checks every MAC from K0
    const SealCheckpoint* checkpoint = nullptr;  // the ledger must extend it
    // Records with a lower test number may be unsealed (stored before the
    // ledger began); any other unsealed record fails the audit.
    int32_t acceptUnsealedBefore = 0;
    std::function<void(int32_t slot)> beforeSlot;  // tests: runs in a worker before each slot
};

struct AuditPaths {
    std::string log, ledger, jpegDir;
};
// data/measurelog.dat, data/seal.log and data/jpeg of a program folder.
AuditPaths AuditPathsOf(const std::string& programFolder);

struct AuditResult {
    enum Status { Done, Cancelled, LogUnreadable, LedgerUnreadable, Failed } status = Done;
    std::string error;        // why a file could not be read, or the audit failed
    int32_t records = 0;      // records the log counts
    int64_t entries = 0;      // whole entries of the ledger
    int32_t startTestNo = 0;  // records up to this one are not sealed
    int64_t verified = 0;     // sealed records whose record and photograph verify
    int64_t notSealed = 0;    // records before sealing began (check value only)
    std::array<int64_t, kAuditKinds> counts{};
    std::vector<AuditFinding> findings;  // ledger findings first, then by test number

    // Nothing but notes: every record and photograph verifies.
    bool Clean() const;
};

// Never throws: an exception becomes status Failed with an AuditFailed finding.
AuditResult AuditLog(const AuditPaths& paths, const AuditOptions& options = {});

// The audit command's exit status: 0 everything verifies, 1 something does
// not, 2 the audit could not vouch either way (a file unreadable or refused,
// the audit failed or was cancelled).
int AuditExitCode(const AuditResult& r);

// The table: counts per category, then one line per finding.
std::string AuditTable(const AuditResult& r);
// One text for a finding (category, test, record fields, detail).
std::string AuditFindingText(const AuditFinding& f);
// The findings as CSV, header first.
std::string AuditCsv(const AuditResult& r);

}  // namespace emtask
