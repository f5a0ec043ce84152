// `VelmoraView --audit [--home DIR]`: the audit of the test log against the
// seal ledger without a window. It only reads, so it takes no lock on the
// program folder and runs beside the program.
#pragma once

namespace records {

bool IsAuditCommand(int argc, char** argv);
// Progress on stderr, the table on stdout. Exit status: 0 everything
// verifies, 1 something does not, 2 the log or the ledger cannot be read
// (or the arguments are wrong).
int RunAuditCommand(int argc, char** argv);

}  // namespace records
