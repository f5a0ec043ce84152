#include "central/CentralDb.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <libpq-fe.h>
#include <poll.h>

namespace central {

namespace {

// libpq's messages end in a newline and may span lines; one line is shown.
std::string OneLine(const char* text)
{
    // libpq's messages run over lines indented by tabs: one space for each run.
    std::string s;
    for (const char* p = text ? text : ""; *p; ++p) {
        const bool space = *p == '\n' || *p == '\t' || *p == '\r' || *p == ' ';
        if (!space)
            s += *p;
        else if (!s.empty() && s.back() != ' ')
            s += ' ';
    }
    if (!s.empty() && s.back() == ' ') s.pop_back();
    return s.empty() ? std::string("no reason given") : s;
}

// Why a value libpq would refuse only at connection time is wrong, or empty.
std::string BadValue(const std::string& key, const std::string& value)
{
    if (key == "port") {
        size_t start = 0;
        do {
            const size_t end = std::min(value.find(',', start), value.size());
            const std::string p = value.substr(start, end - start);
            if (!p.empty() && (p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos ||
                               std::atoi(p.c_str()) < 1 || std::atoi(p.c_str()) > 65535))
                return "port \"" + p + "\" is not a port number";
            start = end + 1;
        } while (start <= value.size());
    }
    if (key == "sslmode") {
        for (const char* m : {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"})
            if (value == m) return {};
        return "sslmode \"" + value + "\" is not one libpq knows";
    }
    return {};
}

void Quiet(void*, const char*) { }

// In order; each runs once, in its own transaction. Never edit one that has
// shipped: add another.
const char* const kMigrations[] = {
    // 1: stations and their tests.
    "CREATE TABLE zolt7.database_id ("
    "  id uuid PRIMARY KEY DEFAULT gen_random_uuid(),"
    "  one boolean NOT NULL UNIQUE DEFAULT true CHECK (one));"
    "INSERT INTO zolt7.database_id DEFAULT VALUES;"
    "CREATE TABLE zolt7.stations ("
    "  id bigserial PRIMARY KEY,"
    "  name text NOT NULL UNIQUE,"
    "  first_seen timestamptz NOT NULL DEFAULT now());"
    "CREATE TABLE zolt7.tests ("
    "  station_id bigint NOT NULL REFERENCES zolt7.stations (id),"
    "  ledger bytea NOT NULL CHECK (length(ledger) = 16),"
    "  test_no integer NOT NULL,"
    "  tested_at timestamp,"
    "  subject_id text NOT NULL,"
    "  subject_name text NOT NULL,"
    "  result_text text NOT NULL,"
    "  result_number numeric,"
    "  unit text NOT NULL,"
    "  mode text NOT NULL,"
    "  record bytea NOT NULL CHECK (length(record) = 276),"
    "  record_sha256 bytea NOT NULL,"
    "  photo bytea,"
    "  photo_sha256 bytea,"
    "  seal bytea,"
    "  received_at timestamptz NOT NULL DEFAULT now(),"
    "  PRIMARY KEY (station_id, ledger, test_no));"
    "CREATE INDEX tests_by_time ON zolt7.tests (tested_at);"
    "CREATE INDEX tests_by_station_time ON zolt7.tests (station_id, tested_at);"
    "CREATE INDEX tests_by_subject ON zolt7.tests (subject_id, tested_at);",
    // 2: what an office asks. A record does not carry the instrument's low
    // alert level (the instrument reports it to the station only while
    // connected), so the office sets it per unit; without one a result above
    // zero counts, as the test window's red panel does.
    "CREATE TABLE zolt7.alert_levels ("
    "  unit text PRIMARY KEY,"
    "  low numeric NOT NULL CHECK (low >= 0));"
    "CREATE VIEW zolt7.tests_per_station_day AS"
    "  SELECT s.name AS station, t.tested_at::date AS day, count(*) AS tests"
    "  FROM zolt7.tests t JOIN zolt7.stations s ON s.id = t.station_id"
    "  WHERE t.tested_at IS NOT NULL GROUP BY s.name, t.tested_at::date;"
    "CREATE VIEW zolt7.positives_per_station_month AS"
    "  SELECT s.name AS station, date_trunc('month', t.tested_at)::date AS month, t.unit,"
    "         count(*) AS positives"
    "  FROM zolt7.tests t JOIN zolt7.stations s ON s.id = t.station_id"
    "  LEFT JOIN zolt7.alert_levels l ON l.unit = t.unit"
    "  WHERE t.tested_at IS NOT NULL AND t.result_number > coalesce(l.low, 0)"
    "  GROUP BY s.name, date_trunc('month', t.tested_at), t.unit;"
    "CREATE VIEW zolt7.subject_history AS"
    "  SELECT t.subject_id, t.subject_name, t.tested_at, s.name AS station, t.test_no, t.result_text,"
    "         t.result_number, t.unit, t.mode"
    "  FROM zolt7.tests t JOIN zolt7.stations s ON s.id = t.station_id;",
};

// Any number: only this program takes it.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(7270517)";

}  // namespace

void PgResultDeleter::operator()(pg_result* r) const { PQclear(r); }

PgConnection::~PgConnection()
{
    if (m_Conn) PQfinish(m_Conn);
}

PgConnection::Status PgConnection::Open(const std::string& url, std::string& why,
                                        const std::atomic<bool>* stop)
{
    if (m_Conn) {
        PQfinish(m_Conn);
        m_Conn = nullptr;
    }
    char* err = nullptr;
    PQconninfoOption* opts = PQconninfoParse(url.c_str(), &err);
    if (!opts) {
        why = "bad connection string: " + OneLine(err ? err : "out of memory");
        PQfreemem(err);
        return Status::BadString;
    }
    // Every option the string gave, with the wait capped and the text ours.
    std::vector<std::string> keys, values;
    int timeout = kConnectTimeout;
    for (PQconninfoOption* o = opts; o->keyword; ++o) {
        if (!o->val) continue;
        std::string v = o->val;
        if (std::string(o->keyword) == "connect_timeout") {
            const int t = std::atoi(v.c_str());
            if (t > 0 && t < kConnectTimeout) timeout = t;
            continue;
        }
        if (std::string(o->keyword) == "client_encoding") continue;
        // libpq checks these only when it connects, as if the server were at fault.
        if (const std::string bad = BadValue(o->keyword, v); !bad.empty()) {
            PQconninfoFree(opts);
            why = "bad connection string: " + bad;
            return Status::BadString;
        }
        keys.push_back(o->keyword);
        values.push_back(v);
    }
    PQconninfoFree(opts);
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].c_str());
        v.push_back(values[i].c_str());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    // Connected step by step, so that the wait can be cut short.
    m_Conn = PQconnectStartParams(k.data(), v.data(), 0);
    auto refuse = [&](const std::string& reason) {
        why = "cannot connect: " + reason;
        if (m_Conn) PQfinish(m_Conn);
        m_Conn = nullptr;
        return Status::Unreachable;
    };
    if (!m_Conn) return refuse("out of memory");
    using Clock = std::chrono::steady_clock;
    PostgresPollingStatusType step = PGRES_POLLING_WRITING;
    int socket = -1;
    Clock::time_point deadline;
    while (step != PGRES_POLLING_OK) {
        if (step == PGRES_POLLING_FAILED || PQstatus(m_Conn) == CONNECTION_BAD)
            return refuse(OneLine(PQerrorMessage(m_Conn)));
        if (PQsocket(m_Conn) != socket) {  // the next address or host: its own wait
            socket = PQsocket(m_Conn);
            deadline = Clock::now() + std::chrono::seconds(timeout);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return refuse("timeout expired");
        if (stop && *stop) return refuse("the program is closing");
        pollfd p{socket, short(step == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int n = poll(&p, 1, int(std::min<long long>(left, 100)));
        if (n < 0 && errno != EINTR) return refuse(std::strerror(errno));
        if (n > 0) step = PQconnectPoll(m_Conn);
    }
    // Notices ("already exists, skipping") are not for the operator.
    PQsetNoticeProcessor(m_Conn, Quiet, nullptr);
    return Status::Ok;
}

PgResult PgConnection::Exec(const std::string& sql, std::string& why, const std::vector<const char*>& values,
                            const std::vector<int>& lengths)
{
    if (!m_Conn) {
        why = "not connected";
        return nullptr;
    }
    std::vector<int> formats;
    if (!lengths.empty()) {
        formats.resize(values.size());
        for (size_t i = 0; i < values.size(); ++i) formats[i] = lengths[i] >= 0 ? 1 : 0;
    }
    PgResult r(PQexecParams(m_Conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                            lengths.empty() ? nullptr : lengths.data(),
                            formats.empty() ? nullptr : formats.data(), 1));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        why = OneLine(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_Conn));
        if (PQstatus(m_Conn) != CONNECTION_OK) why = "connection lost: " + why;
        return nullptr;
    }
    return r;
}

bool PgConnection::Command(const std::string& sql, std::string& why, const std::vector<const char*>& values)
{
    if (!values.empty() || !m_Conn) return Exec(sql, why, values) != nullptr;
    // Without parameters the simple protocol, which takes several statements.
    PgResult r(PQexec(m_Conn, sql.c_str()));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK) return true;
    why = OneLine(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_Conn));
    if (PQstatus(m_Conn) != CONNECTION_OK) why = "connection lost: " + why;
    return false;
}

bool PgConnection::CopyBegin(const std::string& sql, std::string& why)
{
    if (!m_Conn) {
        why = "not connected";
        return false;
    }
    PgResult r(PQexec(m_Conn, sql.c_str()));
    if (r && PQresultStatus(r.get()) == PGRES_COPY_IN) {
        m_Copying = true;
        return true;
    }
    why = OneLine(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_Conn));
    if (PQstatus(m_Conn) != CONNECTION_OK) why = "connection lost: " + why;
    return false;
}

bool PgConnection::CopyData(const std::string& data, std::string& why)
{
    if (!m_Copying) {
        why = "not copying";
        return false;
    }
    if (PQputCopyData(m_Conn, data.data(), static_cast<int>(data.size())) == 1) return true;
    why = "connection lost: " + OneLine(PQerrorMessage(m_Conn));
    return false;
}

bool PgConnection::CopyEnd(std::string& why, bool cancel)
{
    if (!m_Copying) return !cancel;
    m_Copying = false;
    bool ok = PQputCopyEnd(m_Conn, cancel ? "cancelled" : nullptr) == 1;
    if (!ok) why = "connection lost: " + OneLine(PQerrorMessage(m_Conn));
    // Every result of the COPY is read, or the connection stays busy.
    while (PgResult r{PQgetResult(m_Conn)}) {
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
            if (ok) why = OneLine(PQresultErrorMessage(r.get()));
            ok = false;
        }
    }
    if (!ok && PQstatus(m_Conn) != CONNECTION_OK && why.rfind("connection lost", 0) != 0)
        why = "connection lost: " + why;
    return ok && !cancel;
}

int SchemaVersion() { return static_cast<int>(std::size(kMigrations)); }

bool EnsureSchema(PgConnection& db, std::string& why)
{
    std::string err;
    if (!db.Command("CREATE SCHEMA IF NOT EXISTS zolt7", err) ||
        !db.Command("CREATE TABLE IF NOT EXISTS zolt7.schema_version ("
                    "  version integer PRIMARY KEY,"
                    "  applied_at timestamptz NOT NULL DEFAULT now())",
                    err)) {
        why = "cannot create schema zolt7: " + err;
        return false;
    }
    for (int v = 1; v <= SchemaVersion(); ++v) {
        const std::string n = std::to_string(v);
        bool ok = db.Command("BEGIN", err) && db.Command(kMigrationLock, err);
        PgResult have = ok ? db.Exec("SELECT 1 FROM zolt7.schema_version WHERE version = $1", err,
                                     {n.c_str()})
                           : nullptr;
        ok = have != nullptr;
        if (ok && PQntuples(have.get()) == 0)
            ok = db.Command(kMigrations[v - 1], err) &&
                 db.Command("INSERT INTO zolt7.schema_version (version) VALUES ($1)", err, {n.c_str()});
        if (!ok || !db.Command("COMMIT", err)) {
            std::string ignored;
            db.Command("ROLLBACK", ignored);
            why = "cannot upgrade schema zolt7 to version " + n + ": " + err;
            return false;
        }
    }
    return true;
}

bool DatabaseId(PgConnection& db, std::string& id, std::string& why)
{
    PgResult r = db.Exec("SELECT id::text FROM zolt7.database_id", why);
    if (!r) return false;
    if (PQntuples(r.get()) != 1) {
        why = "zolt7.database_id does not hold one row";
        return false;
    }
    id = PQgetvalue(r.get(), 0, 0);
    return true;
}

bool StationId(PgConnection& db, const std::string& station, int64_t& id, std::string& why)
{
    // The insert does nothing when the name is there; the select then finds it.
    PgResult r = db.Exec("WITH s AS (INSERT INTO zolt7.stations (name) VALUES ($1)"
                         " ON CONFLICT (name) DO NOTHING RETURNING id)"
                         " SELECT id::text FROM s UNION ALL"
                         " SELECT id::text FROM zolt7.stations WHERE name = $1",
                         why, {station.c_str()});
    if (!r) return false;
    if (PQntuples(r.get()) < 1) {
        why = "station '" + station + "' could not be registered";
        return false;
    }
    id = std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
    return true;
}

}  // namespace central
