#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// A failure of the store itself (not a refused request): the engine's own message with
// what was being done.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A parameter of a statement. Texts are UTF-8; bytes are kept exactly.
struct Bytes {
    std::string_view data;
};
using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string_view, Bytes>;

// One row of an answer: every column as its bytes (numbers in decimal), NULL as nothing.
class SqlRow {
public:
    explicit SqlRow(std::vector<std::optional<std::string>> columns) : columns_(std::move(columns)) {}
    const std::string& text(int column) const;
    // The column's bytes moved out, so a large value is not copied once more.
    std::string take(int column);
    std::int64_t number(int column) const;
    bool isNull(int column) const { return !columns_.at(std::size_t(column)); }

private:
    std::vector<std::optional<std::string>> columns_;
};

// Bytes a save stores a chunk at a time: held in memory, or read where a request's body
// was spooled, so the store never needs a second whole copy of them.
class ByteSource {
public:
    using Reader = std::function<std::string(std::uint64_t offset, std::size_t size)>;
    // Keeps `bytes`.
    ByteSource(std::string bytes);
    // `read` returns up to `size` bytes from `offset`; it must outlive the save.
    ByteSource(std::uint64_t size, Reader read) : size_(size), read_(std::move(read)) {}
    std::uint64_t size() const { return size_; }
    std::string read(std::uint64_t offset, std::size_t size) const { return read_(offset, size); }

private:
    std::uint64_t size_;
    Reader read_;
};

// A large byte column of a row and what it is to hold.
struct ByteColumn {
    const char* name;
    ByteSource bytes;
};

// One connection of an engine. Statements name their parameters $1, $2, ...
class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    using Params = std::vector<SqlValue>;
    std::vector<SqlRow> query(std::string_view sql, std::initializer_list<SqlValue> params = {})
    {
        return fetch(sql, Params(params));
    }
    // Runs a statement that returns no rows; the number of rows it changed.
    std::int64_t run(std::string_view sql, std::initializer_list<SqlValue> params = {})
    {
        return change(sql, Params(params));
    }
    std::int64_t run(std::string_view sql, const Params& params) { return change(sql, params); }

    // What a large byte column takes per step.
    static constexpr std::size_t kChunk = 1u << 20;
    // Stores the columns' bytes in the existing row of `table` whose lecture_key is `key`,
    // kChunk bytes at a time. The columns must be the table's last ones (see SqliteEngine).
    // Table and column names come from the code, never from a request.
    virtual void writeBytes(const char* table, const std::string& key, std::initializer_list<ByteColumn> columns) = 0;

protected:
    virtual std::vector<SqlRow> fetch(std::string_view sql, const Params& params) = 0;
    virtual std::int64_t change(std::string_view sql, const Params& params) = 0;
};

// The statements whose text differs between the engines.
struct StoreDialect {
    // Appended to a SELECT that a write reads before it changes what it read.
    const char* lockRows;
    // The order lectures were opened in.
    const char* lectureOrder;
    // The time now, as UTC text "YYYY-MM-DD HH:MM:SS".
    const char* now;
    // Run first in a transaction that must read one snapshot throughout ("" where every
    // transaction does).
    const char* snapshot;
};

// Where the course's records live: SQLite (one file) or PostgreSQL (a server several course
// servers share). Every read and every write runs on a connection of the engine; a write is
// one transaction, answered once it is durable, and on failure nothing of it is kept.
class StoreEngine {
public:
    using Work = std::function<void(SqlConnection&)>;
    // The schema this build reads and writes; a store at a newer one is refused.
    static constexpr int kSchemaVersion = 3;

    virtual ~StoreEngine() = default;
    virtual void read(const Work& work) = 0;
    // Durable: returns once the transaction is on disk.
    virtual void write(const Work& work) = 0;
    // For renewals and counters whose last few may be lost in a power cut: does not wait for
    // the disk.
    virtual void writeLazily(const Work& work) = 0;
    virtual const StoreDialect& dialect() const = 0;
    // "sqlite" or "postgresql".
    virtual const char* kind() const = 0;
    int schemaVersion();

    enum class Commit { Grouped, PerSave };
    // `location`: "sqlite:PATH", a PostgreSQL address ("postgresql://...") or libpq connection
    // string ("service=course", "host=... dbname=..."), or a bare file path (SQLite). Brings an
    // older schema up to date; raises StoreError for a newer one or a store it cannot open.
    // `commit` says how SQLite commits saves (PostgreSQL groups concurrent commits itself).
    static std::unique_ptr<StoreEngine> open(const std::string& location, Commit commit = Commit::Grouped);

protected:
    // Refuses a schema newer than this build knows.
    static void checkVersion(int found, const std::string& location);
};
