// The seal's commands without a window:
//   VelmoraView --audit [--key-sheet FILE] [--checkpoint FILE]
//                       [--accept-unsealed-before N] [--home DIR]
//   VelmoraView --begin-seal --key-sheet FILE [--home DIR]
//   VelmoraView --verify-code N CODE [--home DIR]
//   VelmoraView --export-checkpoint FILE [--home DIR]
// The audit, the code check and the export only read the ledger, so they take
// no lock on the program folder and run beside the program; beginning a
// ledger takes the lock. The command line (shell/CommandLine) has chosen the
// program folder and calls them.
#pragma once

#include <cstdint>
#include <string>

namespace records {

// Progress on stderr, the table on stdout. Exit status: 0 everything
// verifies, 1 something does not, 2 the log, the ledger, the key sheet or the
// checkpoint cannot be read or is refused, the audit failed, or the arguments
// are wrong. Empty paths: none. Unsealed tests are accepted below
// `acceptUnsealedBefore` (0: none).
int AuditCommand(const std::string& folder, const std::string& keySheet, const std::string& checkpoint,
                 int32_t acceptUnsealedBefore = 0);
// A test number argument: decimal digits, 0 up to one past the last slot.
bool ParseTestNumber(const char* text, int32_t& out);
// Begins a keyed ledger and writes its key sheet; 0, or 2 (refused or failed).
int BeginSealCommand(const std::string& folder, const std::string& sheetFile);
// 0 the entry of test `testno` begins with `code`, 1 it does not or there is
// no such entry, 2 the ledger cannot be read (or the code is too short).
int VerifyCodeCommand(const std::string& folder, const std::string& testno, const std::string& code);
// 0 written, 2 not.
int ExportCheckpointCommand(const std::string& folder, const std::string& file);

// The check of a printed code, for the command and the window: the exit
// status above, and what to tell the user.
int VerifyPrintedCode(const std::string& folder, const std::string& testno, const std::string& code,
                      std::string& message);
// The log's count of records, from its header: where a new ledger starts.
// -1 (why) when it cannot be read.
int32_t LogRecordCount(const std::string& logPath, std::string& why);

}  // namespace records
