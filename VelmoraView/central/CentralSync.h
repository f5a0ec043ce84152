// Sends a program folder's stored tests to the central database, oldest
// first, in batches; each test once, under (station, ledger identity, test
// number). The local folder stays the source of truth: the sync only reads
// the test log, the seal ledger and the photographs (the files, never the
// store's memory), and writes nothing but data/central.state, through the
// store's crash-safe writer.
//
// data/central.state is text, one line per database, station and ledger:
//    <database id> <ledger identity, 32 hex digits> <last test confirmed> <station>
// A line is raised only after the server has committed the batch that holds
// the test, so a sync cut short anywhere sends again what it cannot be sure
// of; the unique key with ON CONFLICT DO NOTHING leaves no duplicate, and a
// row already there must hold the same bytes. One that does not is a
// conflict: it is reported, never overwritten, and the line stays below it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace central {

struct SyncOptions {
    std::string folder;   // the program folder
    std::string url;      // connection string
    std::string station;  // this station's name
    int batchRows = 10000;
    // Tests: called at each stage of batch `batch` (from 0); returning false
    // stops the sync there as if the program had died.
    enum Stage { Inserted, Committed };
    std::function<bool(int batch, Stage stage)> stageHook;
    const std::atomic<bool>* stop = nullptr;  // set: a connection attempt gives up
};

struct SyncConflict {
    int32_t testno = 0;
    std::string what;  // which bytes differ
};

struct SyncResult {
    enum Status {
        UpToDate,     // the central database holds every stored test
        Incomplete,   // something was not sent (why), or a conflict
        BadString,    // the connection string is not one
        Unreachable,  // no connection (refused, timed out, login refused)
    } status = Incomplete;
    std::string why;
    int64_t sent = 0;     // rows the server took in this run
    int64_t present = 0;  // rows it already held, the same bytes
    int64_t waiting = 0;  // stored tests not confirmed after the run
    std::vector<SyncConflict> conflicts;
};

SyncResult SyncFolder(const SyncOptions& options);

// The command's exit status: 0 up to date, 1 incomplete, 2 bad string or unreachable.
int SyncExitCode(const SyncResult& r);

// data/central.state of a program folder.
std::string SyncStatePath(const std::string& folder);

// --sync: settings from conf/central.conf unless `url` or `station` is given
// (empty: not given); the outcome on stderr; the exit status above.
int SyncCommand(const std::string& folder, const std::string& url, const std::string& station);

}  // namespace central
