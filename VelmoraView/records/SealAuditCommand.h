// `VelmoraView --audit [--accept-unsealed-before N] [--home DIR]`: the audit of the test log against the
// seal ledger without a window. It only reads, so it takes no lock on the
// program folder and runs beside the program.
#pragma once

#include <cstdint>
#include <string>

namespace records {

bool IsAuditCommand(int argc, char** argv);
// Progress on stderr, the table on stdout. Exit status: 0 everything
// verifies, 1 something does not, 2 the log or the ledger cannot be read or
// is refused, the audit failed, or the arguments are wrong.
int RunAuditCommand(int argc, char** argv);

// The audit of `folder`, unsealed tests accepted below `acceptUnsealedBefore`
// (0: none); prints as above and returns the exit status.
int AuditProgramFolder(const std::string& folder, int32_t acceptUnsealedBefore);
// A test number argument: decimal digits, 0 up to one past the last slot.
bool ParseTestNumber(const char* text, int32_t& out);

}  // namespace records
