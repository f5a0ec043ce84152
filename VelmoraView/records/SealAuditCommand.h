// `VelmoraView --audit [--home DIR]`: the audit of the test log against the
// seal ledger without a window. It only reads, so it takes no lock on the
// program folder and runs beside the program. The command line
// (shell/CommandLine) has chosen the program folder.
#pragma once

namespace records {

// Progress on stderr, the table on stdout. Exit status: 0 everything
// verifies, 1 something does not, 2 the log or the ledger cannot be read.
int RunAuditCommand();

}  // namespace records
