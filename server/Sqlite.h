#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A thin owner of an SQLite connection and its statements; every failure raises SqliteError.
class SqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1.
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::string_view bytes);
    Statement& bind(int index, std::int64_t number);
    Statement& bindNull(int index);

    // True while a row is available.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    std::string text(int column) const;
    std::string blob(int column) const;
    std::int64_t number(int column) const;
    bool isNull(int column) const;
    int columnCount() const;
    // Numbers in decimal, texts and blobs as their bytes, NULL as nothing.
    std::optional<std::string> value(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// An open blob of one row, written in place (its size is fixed when the row is written).
class BlobWriter {
public:
    BlobWriter(sqlite3* db, const char* table, const char* column, std::int64_t rowid);
    ~BlobWriter();
    BlobWriter(const BlobWriter&) = delete;
    BlobWriter& operator=(const BlobWriter&) = delete;

    void write(std::uint64_t offset, std::string_view bytes);

private:
    sqlite3* db_;
    sqlite3_blob* blob_ = nullptr;
};

class Database {
public:
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const char* sql);
    Statement prepare(std::string_view sql) { return Statement(db_, sql); }
    BlobWriter openBlob(const char* table, const char* column, std::int64_t rowid)
    {
        return BlobWriter(db_, table, column, rowid);
    }
    // Rows changed by the last statement.
    std::int64_t changes() const;

private:
    sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when left without commit().
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    void commit();

private:
    Database& db_;
    bool done_ = false;
};
