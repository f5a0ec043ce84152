// Checkpoints: a ledger's head written to a second medium (a USB stick, a
// mail to the office), so that a folder rolled back or cut short afterwards
// no longer extends it. Text:
//   ZOLT7 seal checkpoint
//   ledger: <identity, 32 hex digits>
//   entries: <whole entries of the ledger>
//   test: <test number of the last entry>
//   head: <chain value of the last entry, 64 hex digits>
//   time: <local time of the export>
//   mac: <HMAC-SHA256 of the lines above under the current key, or "none"
//        for a ledger without keys>
#pragma once

#include "SealAudit.h"
#include "SealKey.h"

#include <string>
#include <vector>

namespace emtask {

struct SealCheckpoint {
    SealIdentity ledger{};
    uint64_t entries = 0;
    int32_t testno = 0;
    Digest head{};
    std::string time;
    bool hasMac = false;
    Digest mac{};
};

std::string CheckpointText(const SealCheckpoint& c);
bool ParseCheckpoint(const std::string& text, SealCheckpoint& out, std::string& why);
bool ReadCheckpoint(const std::string& path, SealCheckpoint& out, std::string& why);

// The checkpoint of the ledger at `ledgerPath` as it stands, written to
// `file` through the crash-safe writer. False (why) when the ledger has no
// entry, its key cannot be read, or the file cannot be written.
bool ExportCheckpoint(const std::string& ledgerPath, const std::string& file, SealCheckpoint& out,
                      std::string& why);

// The audit's checks that need keys and checkpoints: every MAC against the
// key sheet, seal.key against it, the instrument's count from entry to entry,
// and the ledger against the checkpoint. Findings are appended to `out`.
void AuditSealKeys(const SealLedger& ledger, const AuditPaths& paths, const AuditOptions& options,
                   std::vector<AuditFinding>& out);

}  // namespace emtask
