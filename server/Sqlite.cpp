#include "Sqlite.h"

namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw SqliteError(what + ": " + sqlite3_errmsg(db));
}

}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db)
{
    if (sqlite3_prepare_v2(db, sql.data(), int(sql.size()), &stmt_, nullptr) != SQLITE_OK)
        fail(db, "prepare " + std::string(sql));
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int index, std::string_view text)
{
    if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes)
{
    // A zero-length blob is still a blob, not NULL.
    if (sqlite3_bind_blob64(stmt_, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_TRANSIENT)
        != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bind(int index, std::int64_t number)
{
    if (sqlite3_bind_int64(stmt_, index, number) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bindNull(int index)
{
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, "step");
}

void Statement::run()
{
    while (step()) {
    }
}

std::string Statement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, size_t(sqlite3_column_bytes(stmt_, column))) : std::string();
}

std::string Statement::blob(int column) const
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return p ? std::string(p, size_t(sqlite3_column_bytes(stmt_, column))) : std::string();
}

std::int64_t Statement::number(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

std::optional<std::string> Statement::value(int column) const
{
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return std::to_string(number(column));
    case SQLITE_BLOB:
        return blob(column);
    default:
        return text(column);
    }
}

BlobWriter::BlobWriter(sqlite3* db, const char* table, const char* column, std::int64_t rowid) : db_(db)
{
    if (sqlite3_blob_open(db_, "main", table, column, rowid, 1, &blob_) != SQLITE_OK) {
        sqlite3_blob_close(blob_);
        fail(db_, std::string("open blob ") + table + "." + column);
    }
}

BlobWriter::~BlobWriter()
{
    sqlite3_blob_close(blob_);
}

void BlobWriter::write(std::uint64_t offset, std::string_view bytes)
{
    if (sqlite3_blob_write(blob_, bytes.data(), int(bytes.size()), int(offset)) != SQLITE_OK)
        fail(db_, "write blob");
}

Database::Database(const std::string& path)
{
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw SqliteError("open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 10000);
}

Database::~Database()
{
    sqlite3_close(db_);
}

std::int64_t Database::changes() const
{
    return sqlite3_changes64(db_);
}

void Database::exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw SqliteError(std::string("exec: ") + message);
    }
}

Transaction::Transaction(Database& db) : db_(db)
{
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const SqliteError&) {
            // The connection rolls back by itself when the failure ended the transaction.
        }
    }
}

void Transaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}
