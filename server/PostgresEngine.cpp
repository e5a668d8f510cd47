#include "PostgresEngine.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

// Times are kept as UTC text in SQLite's own form, so both engines hold the same values.
#define DZ_PG_NOW "to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS')"

const char* kSchemaV1 = R"(
CREATE TABLE teachers (
  teacher_no text PRIMARY KEY, name text NOT NULL, password_hash text NOT NULL);
CREATE TABLE students (
  student_no text PRIMARY KEY, name text NOT NULL, password_hash text NOT NULL,
  teacher_no text NOT NULL REFERENCES teachers);
CREATE TABLE lectures (
  lecture_key text PRIMARY KEY,
  student_no text NOT NULL REFERENCES students,
  teacher_no text NOT NULL REFERENCES teachers,
  title text NOT NULL DEFAULT '', discussion text NOT NULL DEFAULT '',
  created_at text NOT NULL DEFAULT )" DZ_PG_NOW R"(,
  ordinal bigserial);
CREATE INDEX lectures_student ON lectures (student_no);
CREATE INDEX lectures_teacher ON lectures (teacher_no);
CREATE TABLE essays (
  lecture_key text PRIMARY KEY REFERENCES lectures,
  record bytea NOT NULL, submit text NOT NULL, revision bigint NOT NULL,
  saved_at text NOT NULL DEFAULT )" DZ_PG_NOW R"();
CREATE TABLE corrections (
  lecture_key text PRIMARY KEY REFERENCES lectures,
  record bytea NOT NULL, thumbnail bytea NOT NULL, report_point text NOT NULL,
  submit text NOT NULL, revision bigint NOT NULL,
  saved_at text NOT NULL DEFAULT )" DZ_PG_NOW R"();
CREATE TABLE launch_tokens (
  digest text PRIMARY KEY, grant_kind text NOT NULL, role text NOT NULL, person_no text NOT NULL,
  lecture_key text NOT NULL, session text NOT NULL, issued_at bigint NOT NULL,
  expires_at bigint NOT NULL, used bigint NOT NULL DEFAULT 0, new_essay bigint NOT NULL DEFAULT 0);
CREATE INDEX launch_tokens_person ON launch_tokens (person_no, role);
CREATE INDEX launch_tokens_session ON launch_tokens (session);
CREATE TABLE sessions (
  digest text PRIMARY KEY, role text NOT NULL, person_no text NOT NULL, csrf text NOT NULL,
  expires_at bigint NOT NULL);
CREATE TABLE sign_in_pairs (
  pair text PRIMARY KEY, failures bigint NOT NULL, until_ms bigint NOT NULL, ordinal bigint NOT NULL);
CREATE INDEX sign_in_pairs_age ON sign_in_pairs (ordinal);
CREATE TABLE schema_version (version bigint NOT NULL);
INSERT INTO schema_version VALUES (1);
)";

const char* kSchemaV3 = R"(
CREATE TABLE bank_entries (
  entry_id text PRIMARY KEY, teacher_no text REFERENCES teachers,
  body text NOT NULL, mark bigint NOT NULL, points text NOT NULL,
  place bigint NOT NULL, uses bigint NOT NULL, version bigint NOT NULL);
CREATE INDEX bank_entries_teacher ON bank_entries (teacher_no);
UPDATE schema_version SET version = 3;
)";

const StoreDialect kDialect{" FOR UPDATE", "l.created_at, l.ordinal", DZ_PG_NOW,
                            "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"};

constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25;

class PgError : public StoreError {
public:
    PgError(const std::string& message, std::string state) : StoreError(message), state_(std::move(state)) {}
    // Serialisation failure or deadlock: the transaction was undone and may run again.
    bool retry() const { return state_ == "40001" || state_ == "40P01"; }

private:
    std::string state_;
};

std::int64_t bigEndian(const char* bytes, int size)
{
    std::int64_t value = bytes[0] & 0x80 ? -1 : 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::string bigEndianBytes(std::int64_t value, int size)
{
    std::string bytes(std::size_t(size), '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        bytes[std::size_t(i)] = char(value & 0xff);
    return bytes;
}

}

class PostgresEngine::Connection : public SqlConnection {
public:
    explicit Connection(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str()))
    {
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string message = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw StoreError("cannot connect to PostgreSQL: " + message);
        }
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
    }
    ~Connection() override { PQfinish(conn_); }

    bool broken() const { return PQstatus(conn_) != CONNECTION_OK; }
    std::string name() const { return std::string("PostgreSQL database ") + PQdb(conn_) + " on " + PQhost(conn_); }

    void exec(const char* sql) { check(PQexec(conn_, sql), sql); }

protected:
    std::vector<SqlRow> fetch(std::string_view sql, const Params& params) override
    {
        Result result = execute(sql, params);
        std::vector<SqlRow> rows;
        const int columns = PQnfields(result.get());
        for (int r = 0; r < PQntuples(result.get()); ++r) {
            std::vector<std::optional<std::string>> values;
            for (int c = 0; c < columns; ++c)
                values.push_back(value(result.get(), r, c));
            rows.emplace_back(std::move(values));
        }
        return rows;
    }

    std::int64_t change(std::string_view sql, const Params& params) override
    {
        Result result = execute(sql, params);
        const char* changed = PQcmdTuples(result.get());
        return *changed ? std::stoll(changed) : 0;
    }

    // The bytes go to the server as one binary COPY sent a chunk at a time, into a temporary
    // table of this session, and from there into the row in one step: libpq buffers one
    // chunk, and the value is written once (appending chunk by chunk would rewrite it whole
    // every time).
    void writeBytes(const char* table, const std::string& key, std::initializer_list<ByteColumn> columns) override
    {
        exec("CREATE TEMP TABLE IF NOT EXISTS incoming_bytes (data bytea NOT NULL) ON COMMIT DELETE ROWS");
        for (const ByteColumn& column : columns) {
            if (column.bytes.size() > kMaxBytea)
                throw StoreError(std::string("cannot store ") + std::to_string(column.bytes.size()) + " bytes in "
                                 + table + "." + column.name + ": PostgreSQL keeps at most 1 GiB in one value");
            copyIn(column.bytes);
            const std::int64_t changed = change(std::string("UPDATE ") + table + " SET " + column.name
                                                    + " = (SELECT data FROM incoming_bytes) WHERE lecture_key = $1",
                                                {key});
            exec("DELETE FROM incoming_bytes");
            if (changed != 1)
                throw StoreError(std::string("no row in ") + table + " for lecture " + key + " to write " + column.name
                                 + " into");
        }
    }

private:
    using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

    Result execute(std::string_view sql, const Params& params)
    {
        std::vector<Oid> types;
        std::vector<std::string> numbers;
        numbers.reserve(params.size());
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        for (const SqlValue& param : params) {
            std::visit(
                [&](const auto& value) {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, std::nullptr_t>) {
                        types.push_back(0);
                        values.push_back(nullptr);
                        lengths.push_back(0);
                        formats.push_back(0);
                    } else if constexpr (std::is_same_v<T, std::int64_t>) {
                        numbers.push_back(std::to_string(value));
                        types.push_back(kInt8);
                        values.push_back(numbers.back().c_str());
                        lengths.push_back(0);
                        formats.push_back(0);
                    } else {
                        // Binary form: text and bytes go as they are, nothing escaped.
                        std::string_view bytes;
                        if constexpr (std::is_same_v<T, Bytes>) {
                            types.push_back(kBytea);
                            bytes = value.data;
                        } else {
                            types.push_back(kText);
                            bytes = value;
                        }
                        values.push_back(bytes.empty() ? "" : bytes.data());
                        lengths.push_back(int(bytes.size()));
                        formats.push_back(1);
                    }
                },
                param);
        }
        const std::string text(sql);
        return check(PQexecParams(conn_, text.c_str(), int(types.size()), types.data(), values.data(), lengths.data(),
                                  formats.data(), 1),
                     text);
    }

    static constexpr std::uint64_t kMaxBytea = 1u << 30;

    void copyIn(const ByteSource& bytes)
    {
        const char* sql = "COPY incoming_bytes (data) FROM STDIN (FORMAT binary)";
        Result started(PQexec(conn_, sql), &PQclear);
        if (PQresultStatus(started.get()) != PGRES_COPY_IN)
            check(started.release(), sql);
        try {
            // The file header, one row of one field, the end of rows.
            std::string head("PGCOPY\n\377\r\n\0", 11);
            head += bigEndianBytes(0, 4) + bigEndianBytes(0, 4) + bigEndianBytes(1, 2)
                    + bigEndianBytes(std::int64_t(bytes.size()), 4);
            put(head);
            for (std::uint64_t offset = 0; offset < bytes.size(); offset += kChunk) {
                const std::size_t size = std::size_t(std::min<std::uint64_t>(kChunk, bytes.size() - offset));
                const std::string chunk = bytes.read(offset, size);
                if (chunk.size() != size)
                    throw StoreError("the bytes to store ended early");
                put(chunk);
            }
            put(bigEndianBytes(-1, 2));
        } catch (const std::exception& error) {
            PQputCopyEnd(conn_, error.what());
            drain();
            throw;
        }
        if (PQputCopyEnd(conn_, nullptr) != 1)
            throw StoreError("PostgreSQL: " + std::string(PQerrorMessage(conn_)) + " (in: " + sql + ")");
        Result done(PQgetResult(conn_), &PQclear);
        drain();
        check(done.release(), sql);
    }

    void put(std::string_view bytes)
    {
        if (PQputCopyData(conn_, bytes.data(), int(bytes.size())) != 1)
            throw StoreError("PostgreSQL: " + std::string(PQerrorMessage(conn_)) + " (sending bytes)");
    }

    // Reads what is left of a statement's answers, so the connection takes the next one.
    void drain()
    {
        while (PGresult* rest = PQgetResult(conn_))
            PQclear(rest);
    }

    Result check(PGresult* raw, std::string_view sql)
    {
        Result result(raw, &PQclear);
        const ExecStatusType status = PQresultStatus(raw);
        if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
            return result;
        const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
        std::string first(sql.substr(0, sql.find('\n', 1)));
        throw PgError("PostgreSQL: " + std::string(PQerrorMessage(conn_)) + " (in: " + first.substr(0, 80) + ")",
                      state ? state : "");
    }

    static std::optional<std::string> value(const PGresult* result, int row, int column)
    {
        if (PQgetisnull(result, row, column))
            return std::nullopt;
        const char* bytes = PQgetvalue(result, row, column);
        const int size = PQgetlength(result, row, column);
        switch (PQftype(result, column)) {
        case kInt8:
        case kInt4:
        case kInt2:
            return std::to_string(bigEndian(bytes, size));
        case kBool:
            return std::string(bytes[0] ? "1" : "0");
        default:
            return std::string(bytes, std::size_t(size));
        }
    }

    PGconn* conn_;
};

// A connection borrowed from the pool; one found broken is not given back.
class PostgresEngine::Lease {
public:
    explicit Lease(PostgresEngine& engine) : engine_(engine)
    {
        std::unique_lock lock(engine_.mutex_);
        engine_.freed_.wait(lock, [this] { return !engine_.idle_.empty() || engine_.open_ < kConnections; });
        if (!engine_.idle_.empty()) {
            connection_ = std::move(engine_.idle_.back());
            engine_.idle_.pop_back();
            return;
        }
        ++engine_.open_;
        lock.unlock();
        try {
            connection_ = std::make_unique<Connection>(engine_.conninfo_);
        } catch (...) {
            giveBack();
            throw;
        }
    }
    ~Lease() { giveBack(); }
    Connection& operator*() { return *connection_; }

private:
    void giveBack()
    {
        {
            const std::lock_guard lock(engine_.mutex_);
            if (connection_ && !connection_->broken())
                engine_.idle_.push_back(std::move(connection_));
            else
                --engine_.open_;
        }
        engine_.freed_.notify_one();
    }

    PostgresEngine& engine_;
    std::unique_ptr<Connection> connection_;
};

PostgresEngine::PostgresEngine(std::string conninfo) : conninfo_(std::move(conninfo))
{
    migrate();
}

PostgresEngine::~PostgresEngine() = default;

void PostgresEngine::migrate()
{
    Lease lease(*this);
    Connection& db = *lease;
    db.exec("BEGIN");
    try {
        // Instances starting together migrate one after the other.
        db.query("SELECT pg_advisory_xact_lock(7361012)");
        int version = 0;
        if (db.query("SELECT to_regclass('schema_version') IS NOT NULL").at(0).text(0) == "1")
            version = int(db.query("SELECT version FROM schema_version").at(0).number(0));
        checkVersion(version, db.name());
        if (version < 1)
            db.exec(kSchemaV1);
        // Version 2 reorders SQLite's columns only: PostgreSQL keeps large values apart from
        // their rows anyway.
        if (version < 2)
            db.exec("UPDATE schema_version SET version = 2");
        if (version < 3)
            db.exec(kSchemaV3);
        db.exec("COMMIT");
    } catch (...) {
        db.exec("ROLLBACK");
        throw;
    }
}

void PostgresEngine::read(const Work& work)
{
    Lease lease(*this);
    work(*lease);
}

void PostgresEngine::transaction(const Work& work, bool lazy)
{
    for (int attempt = 1;; ++attempt) {
        Lease lease(*this);
        Connection& db = *lease;
        db.exec(lazy ? "BEGIN; SET LOCAL synchronous_commit = off" : "BEGIN");
        try {
            work(db);
            db.exec("COMMIT");
            return;
        } catch (const PgError& error) {
            if (!db.broken())
                db.exec("ROLLBACK");
            if (!error.retry() || attempt == 5)
                throw;
        } catch (...) {
            if (!db.broken())
                db.exec("ROLLBACK");
            throw;
        }
    }
}

void PostgresEngine::write(const Work& work)
{
    transaction(work, false);
}

void PostgresEngine::writeLazily(const Work& work)
{
    transaction(work, true);
}

const StoreDialect& PostgresEngine::dialect() const
{
    return kDialect;
}
