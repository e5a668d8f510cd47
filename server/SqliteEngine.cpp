#include "SqliteEngine.h"

#include "GroupCommit.h"

#include <algorithm>
#include <cctype>
#include <type_traits>

namespace {

// Version 1 is also what files written before the version table hold (less the sign-in
// table), so it is created only where missing.
const char* kSchemaV1 = R"(
DROP TABLE IF EXISTS tokens;
CREATE TABLE IF NOT EXISTS teachers (
  teacher_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS students (
  student_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL,
  teacher_no TEXT NOT NULL REFERENCES teachers);
CREATE TABLE IF NOT EXISTS lectures (
  lecture_key TEXT PRIMARY KEY,
  student_no TEXT NOT NULL REFERENCES students,
  teacher_no TEXT NOT NULL REFERENCES teachers,
  title TEXT NOT NULL DEFAULT '', discussion TEXT NOT NULL DEFAULT '',
  created_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
CREATE TABLE IF NOT EXISTS essays (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  record BLOB NOT NULL, submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
CREATE TABLE IF NOT EXISTS corrections (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  record BLOB NOT NULL, thumbnail BLOB NOT NULL, report_point TEXT NOT NULL,
  submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
CREATE TABLE IF NOT EXISTS launch_tokens (
  digest TEXT PRIMARY KEY, grant_kind TEXT NOT NULL, role TEXT NOT NULL, person_no TEXT NOT NULL,
  lecture_key TEXT NOT NULL, session TEXT NOT NULL, issued_at INTEGER NOT NULL,
  expires_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions (
  digest TEXT PRIMARY KEY, role TEXT NOT NULL, person_no TEXT NOT NULL, csrf TEXT NOT NULL,
  expires_at INTEGER NOT NULL);
CREATE TABLE sign_in_pairs (
  pair TEXT PRIMARY KEY, failures INTEGER NOT NULL, until_ms INTEGER NOT NULL,
  ordinal INTEGER NOT NULL);
CREATE INDEX sign_in_pairs_age ON sign_in_pairs (ordinal);
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version VALUES (1);
)";

// The large byte columns move to the end of their rows, where a save can size them without
// SQLite building their whole value in memory (see writeBytes).
const char* kSchemaV2 = R"(
CREATE TABLE essays_v2 (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP, record BLOB NOT NULL);
INSERT INTO essays_v2 (lecture_key, submit, revision, saved_at, record)
  SELECT lecture_key, submit, revision, saved_at, record FROM essays;
DROP TABLE essays;
ALTER TABLE essays_v2 RENAME TO essays;
CREATE TABLE corrections_v2 (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  report_point TEXT NOT NULL, submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP, record BLOB NOT NULL, thumbnail BLOB NOT NULL);
INSERT INTO corrections_v2 (lecture_key, report_point, submit, revision, saved_at, record, thumbnail)
  SELECT lecture_key, report_point, submit, revision, saved_at, record, thumbnail FROM corrections;
DROP TABLE corrections;
ALTER TABLE corrections_v2 RENAME TO corrections;
UPDATE schema_version SET version = 2;
)";

// The comment banks: a teacher's entries, and the course's stock where teacher_no is NULL.
const char* kSchemaV3 = R"(
CREATE TABLE bank_entries (
  entry_id TEXT PRIMARY KEY, teacher_no TEXT REFERENCES teachers,
  body TEXT NOT NULL, mark INTEGER NOT NULL, points TEXT NOT NULL,
  place INTEGER NOT NULL, uses INTEGER NOT NULL, version INTEGER NOT NULL);
CREATE INDEX bank_entries_teacher ON bank_entries (teacher_no);
UPDATE schema_version SET version = 3;
)";

const StoreDialect kDialect{"", "l.created_at, l.rowid", "CURRENT_TIMESTAMP", ""};

// $1 names parameter 1 in both engines' statements; SQLite spells it ?1.
std::string sqliteParameters(std::string_view sql)
{
    std::string out(sql);
    for (std::size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '$' && std::isdigit(static_cast<unsigned char>(out[i + 1])))
            out[i] = '?';
    return out;
}

}

class SqliteEngine::Connection : public SqlConnection {
public:
    explicit Connection(Database& db) : db_(db) {}

protected:
    std::vector<SqlRow> fetch(std::string_view sql, const Params& params) override
    {
        Statement statement = prepared(sql, params);
        std::vector<SqlRow> rows;
        while (statement.step()) {
            std::vector<std::optional<std::string>> columns;
            for (int c = 0; c < statement.columnCount(); ++c)
                columns.push_back(statement.value(c));
            rows.emplace_back(std::move(columns));
        }
        return rows;
    }

    std::int64_t change(std::string_view sql, const Params& params) override
    {
        prepared(sql, params).run();
        return db_.changes();
    }

    void writeBytes(const char* table, const std::string& key, std::initializer_list<ByteColumn> columns) override
    {
        // The row is sized first and then filled in place. Zeros at the end of a row are
        // never spelled out, which is why the large columns come last in their tables: with
        // anything after them, SQLite would build the whole value in memory here.
        std::string sql = std::string("UPDATE ") + table + " SET ";
        Params params{key};
        for (const ByteColumn& column : columns) {
            params.emplace_back(std::int64_t(column.bytes.size()));
            sql += std::string(params.size() > 2 ? ", " : "") + column.name + " = zeroblob($"
                   + std::to_string(params.size()) + ")";
        }
        const std::vector<SqlRow> row = fetch(sql + " WHERE lecture_key = $1 RETURNING rowid", params);
        if (row.empty())
            throw StoreError(std::string("no row in ") + table + " for lecture " + key + " to write bytes into");
        for (const ByteColumn& column : columns) {
            const ByteSource& bytes = column.bytes;
            BlobWriter blob = db_.openBlob(table, column.name, row.front().number(0));
            for (std::uint64_t offset = 0; offset < bytes.size(); offset += kChunk) {
                const std::size_t size = std::size_t(std::min<std::uint64_t>(kChunk, bytes.size() - offset));
                const std::string chunk = bytes.read(offset, size);
                if (chunk.size() != size)
                    throw StoreError(std::string("the bytes for ") + table + "." + column.name + " ended early");
                blob.write(offset, chunk);
            }
        }
    }

private:
    Statement prepared(std::string_view sql, const Params& params)
    {
        Statement statement = db_.prepare(sqliteParameters(sql));
        int index = 0;
        for (const SqlValue& param : params) {
            ++index;
            std::visit(
                [&](const auto& value) {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, std::nullptr_t>)
                        statement.bindNull(index);
                    else if constexpr (std::is_same_v<T, Bytes>)
                        statement.bindBlob(index, value.data);
                    else
                        statement.bind(index, value);
                },
                param);
        }
        return statement;
    }

    Database& db_;
};

SqliteEngine::SqliteEngine(const std::string& path, Commit commit)
    : durable_(path), durableSql_(std::make_unique<Connection>(durable_))
{
    durable_.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON;");
    migrate(path);
    quick_ = std::make_unique<Database>(path);
    quick_->exec("PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON;");
    quickSql_ = std::make_unique<Connection>(*quick_);
    if (commit == Commit::Grouped)
        group_ = std::make_unique<GroupCommit>(durable_, durableMutex_);
}

SqliteEngine::~SqliteEngine() = default;

void SqliteEngine::migrate(const std::string& path)
{
    Transaction transaction(durable_);
    int version = 0;
    if (durableSql_->query("SELECT 1 FROM sqlite_master WHERE name = 'schema_version'").size() == 1)
        version = int(durableSql_->query("SELECT version FROM schema_version").at(0).number(0));
    checkVersion(version, path);
    if (version >= kSchemaVersion)
        return;
    if (version < 1) {
        durable_.exec(kSchemaV1);
        // Files from before launch tokens were counted and bound to new essays.
        if (durableSql_->query("SELECT 1 FROM pragma_table_info('launch_tokens') WHERE name = 'used'").empty())
            durable_.exec("ALTER TABLE launch_tokens ADD COLUMN used INTEGER NOT NULL DEFAULT 0;"
                          "ALTER TABLE launch_tokens ADD COLUMN new_essay INTEGER NOT NULL DEFAULT 0;");
    }
    if (version < 2)
        durable_.exec(kSchemaV2);
    durable_.exec(kSchemaV3);
    transaction.commit();
}

void SqliteEngine::read(const Work& work)
{
    const std::lock_guard lock(quickMutex_);
    work(*quickSql_);
}

void SqliteEngine::write(const Work& work)
{
    if (group_)
        return group_->run([&] { work(*durableSql_); });
    const std::lock_guard lock(durableMutex_);
    Transaction transaction(durable_);
    work(*durableSql_);
    transaction.commit();
}

void SqliteEngine::writeLazily(const Work& work)
{
    const std::lock_guard lock(quickMutex_);
    Transaction transaction(*quick_);
    work(*quickSql_);
    transaction.commit();
}

const StoreDialect& SqliteEngine::dialect() const
{
    return kDialect;
}
