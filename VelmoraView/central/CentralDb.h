// The connection to the central PostgreSQL database and its schema.
//
// The client is libpq itself: it is the server's own C library (Debian's
// libpq5, libpq-dev to build), honours every connection-string form, sslmode,
// ~/.pgpass and service files, and has no plugin to find at run time as the
// toolkit's SQL driver would; a C++ wrapper over it would add a dependency and
// nothing we need (a handful of parameterised statements).
//
// Schema zolt7, created and upgraded here: zolt7.schema_version holds one row
// per migration applied, and migrations only ever add.
#pragma once

#include <cstdint>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace central {

// Longest wait for a server to answer a connection attempt, seconds.
constexpr int kConnectTimeout = 10;

// A result, cleared when dropped.
struct PgResultDeleter {
    void operator()(pg_result* r) const;
};
using PgResult = std::unique_ptr<pg_result, PgResultDeleter>;

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    enum class Status { Ok, BadString, Unreachable };
    // Connects with `url` (a postgresql:// URL or key=value string); its
    // connect_timeout, capped at kConnectTimeout, bounds each host tried.
    // Gives up within a tenth of a second once `stop` is set, so a program
    // that closes does not wait out a server that does not answer. On
    // failure `why` says why in one line.
    Status Open(const std::string& url, std::string& why, const std::atomic<bool>* stop = nullptr);
    bool IsOpen() const { return m_Conn != nullptr; }
    pg_conn* Raw() const { return m_Conn; }

    // Runs `sql` with text parameters (nullptr: NULL) and, where `lengths`
    // is not empty, binary ones of those lengths. Null result and `why` set
    // when the statement failed or the connection broke.
    PgResult Exec(const std::string& sql, std::string& why, const std::vector<const char*>& values = {},
                  const std::vector<int>& lengths = {});
    // The same for statements without rows: false with `why`. Without
    // parameters `sql` may hold several statements.
    bool Command(const std::string& sql, std::string& why, const std::vector<const char*>& values = {});

    // COPY ... FROM STDIN: starts it, sends data, ends it (`cancel`: with an
    // error, so the server drops what it took). False with `why`.
    bool CopyBegin(const std::string& sql, std::string& why);
    bool CopyData(const std::string& data, std::string& why);
    bool CopyEnd(std::string& why, bool cancel = false);
    bool Copying() const { return m_Copying; }

private:
    pg_conn* m_Conn = nullptr;
    bool m_Copying = false;
};

// Creates the schema or applies the migrations it lacks, each in its own
// transaction under an advisory lock (two stations starting at once apply
// each migration once). False with `why` when it cannot.
bool EnsureSchema(PgConnection& db, std::string& why);
// Migrations known to this program; a database at a higher version was
// upgraded by a newer program and is used as it is.
int SchemaVersion();

// The database's own random identity (made by the first migration): the
// local record of what was sent is kept per database.
bool DatabaseId(PgConnection& db, std::string& id, std::string& why);
// The station's row id, made on first use.
bool StationId(PgConnection& db, const std::string& station, int64_t& id, std::string& why);

}  // namespace central
