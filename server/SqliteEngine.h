#pragma once

#include "Sqlite.h"
#include "StoreEngine.h"

#include <memory>
#include <mutex>

class GroupCommit;

// The course in one SQLite file (WAL). Saves go through one connection that syncs every
// commit (grouped or one per save); reads and lazy writes through a second one that does
// not wait for the disk, so a read never queues behind a batch being synced.
class SqliteEngine : public StoreEngine {
public:
    SqliteEngine(const std::string& path, Commit commit);
    ~SqliteEngine() override;

    void read(const Work& work) override;
    void write(const Work& work) override;
    void writeLazily(const Work& work) override;
    const StoreDialect& dialect() const override;
    const char* kind() const override { return "sqlite"; }

    class Connection;

private:
    void migrate(const std::string& path);

    std::mutex durableMutex_;
    Database durable_;
    std::unique_ptr<Connection> durableSql_;
    std::mutex quickMutex_;
    std::unique_ptr<Database> quick_;
    std::unique_ptr<Connection> quickSql_;
    std::unique_ptr<GroupCommit> group_;
};
