#pragma once

#include "StoreEngine.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

// The course in a PostgreSQL database that several course servers share. Each instance
// keeps a small pool of connections; every write is a transaction of its own (PostgreSQL
// flushes concurrent commits together), retried when the server reports a serialisation
// failure or deadlock, which undid it whole.
class PostgresEngine : public StoreEngine {
public:
    // Connections one instance opens at most: sizes in docs/deploy.md.
    static constexpr int kConnections = 8;

    // `conninfo`: a postgresql:// address or a libpq connection string.
    explicit PostgresEngine(std::string conninfo);
    ~PostgresEngine() override;

    void read(const Work& work) override;
    void write(const Work& work) override;
    void writeLazily(const Work& work) override;
    const StoreDialect& dialect() const override;
    const char* kind() const override { return "postgresql"; }

    class Connection;

private:
    class Lease;
    void transaction(const Work& work, bool lazy);
    void migrate();

    std::string conninfo_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<Connection>> idle_;
    int open_ = 0;
};
