// The station's tests against their central copies: every row the central
// database holds for this station must still be in the station's test log
// with the same bytes (record, seal entry, photograph). A station that lost
// a test, or whose folder was rolled back or edited, shows here even when
// its own ledger was rewritten to match: the central copy is the witness.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace central {

struct CentralFinding {
    int32_t testno = 0;
    std::string ledger;  // the ledger identity the row was sent under, 32 hex digits
    std::string what;
};

struct CentralAuditResult {
    enum Status { Done, BadString, Unreachable, Failed } status = Failed;
    std::string why;
    int64_t compared = 0;  // central rows compared
    std::vector<CentralFinding> findings;
};

CentralAuditResult AuditCentral(const std::string& folder, const std::string& url,
                                const std::string& station);

// The command's part: the findings on stdout, a failure on stderr; 0 clean,
// 1 findings, 2 not compared (bad string, unreachable, unreadable).
int CentralAuditCommand(const std::string& folder, const std::string& url, const std::string& station);

}  // namespace central
