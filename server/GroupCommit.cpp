#include "GroupCommit.h"

#include <exception>
#include <future>

struct GroupCommit::Pending {
    const std::function<void()>& write;
    std::exception_ptr error;
    std::promise<void> done;
};

GroupCommit::GroupCommit(Database& db, std::mutex& mutex) : db_(db), dbMutex_(mutex), thread_([this] { writer(); })
{
}

GroupCommit::~GroupCommit()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void GroupCommit::run(const std::function<void()>& write)
{
    Pending pending{write, nullptr, {}};
    std::future<void> done = pending.done.get_future();
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(&pending);
    }
    wake_.notify_one();
    done.get();
}

void GroupCommit::writer()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        std::vector<Pending*> batch;
        batch.swap(queue_);
        lock.unlock();
        commit(batch);
        for (Pending* pending : batch)
            if (pending->error)
                pending->done.set_exception(pending->error);
            else
                pending->done.set_value();
        lock.lock();
    }
}

void GroupCommit::commit(std::vector<Pending*>& batch)
{
    const std::lock_guard lock(dbMutex_);
    try {
        Transaction transaction(db_);
        for (Pending* pending : batch) {
            db_.exec("SAVEPOINT one_save");
            try {
                pending->write();
                db_.exec("RELEASE one_save");
            } catch (...) {
                pending->error = std::current_exception();
                db_.exec("ROLLBACK TO one_save");
                db_.exec("RELEASE one_save");
            }
        }
        transaction.commit();
    } catch (...) {
        // Nothing of the batch was kept: every write in it fails.
        for (Pending* pending : batch)
            if (!pending->error)
                pending->error = std::current_exception();
    }
}
