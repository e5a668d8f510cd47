#pragma once

#include "Sqlite.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes that arrive together share one transaction, so one sync of the disk answers them
// all. run() hands a write to the one writer thread and returns once the transaction that
// held it is on disk. Each write runs in a savepoint of its own: one that raises is undone
// alone and its error raised to its caller; the others are kept.
class GroupCommit {
public:
    // `mutex` guards `db` for everyone else; the writer holds it for a whole batch.
    GroupCommit(Database& db, std::mutex& mutex);
    ~GroupCommit();
    GroupCommit(const GroupCommit&) = delete;
    GroupCommit& operator=(const GroupCommit&) = delete;

    void run(const std::function<void()>& write);

private:
    struct Pending;
    void writer();
    void commit(std::vector<Pending*>& batch);

    Database& db_;
    std::mutex& dbMutex_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Pending*> queue_;
    bool stopping_ = false;
    std::thread thread_;
};
