#pragma once

#include "StoreEngine.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <semaphore>
#include <string>

// Guards the slow password check. Wrong passwords slow down only the pair that sent them,
// one number from one address: past kFreeFailures each further failure doubles the pair's
// wait, up to kLongestWait. The same number from another address, or another number from
// the same address (a school, a proxy), is never held back. The pairs live in a table of
// fixed size that forgets the oldest first, so no flood of made-up numbers grows it. The
// pairs are kept in the store, so every instance of the server holds back the same pairs
// (their times are wall-clock times). At most two hashes (64 MiB each) run at once in one
// instance.
class LoginThrottle {
public:
    static constexpr int kFreeFailures = 5;
    static constexpr std::chrono::seconds kFirstWait{2};
    static constexpr std::chrono::seconds kLongestWait{15 * 60};
    static constexpr std::size_t kCapacity = 20000;

    // How long the pair must still wait; nothing when it may try now.
    std::optional<std::chrono::seconds> wait(const std::string& number, const std::string& address);
    void failed(const std::string& number, const std::string& address);
    void succeeded(const std::string& number, const std::string& address);
    std::size_t pairs() const;

    // `capacity`: the pairs kept (a small table shows its bound in tests quickly).
    explicit LoginThrottle(StoreEngine& engine, std::size_t capacity = kCapacity) : engine_(engine), capacity_(capacity)
    {
    }

    // Sign-ins that may wait for a hashing place; past them the handlers that save work
    // would wait too, so a further one is turned away at once.
    static constexpr int kMostWaiting = 8;

    // Runs the check while holding one of the two hashing places; nothing when too many
    // wait for one already.
    template <typename Check>
    std::optional<bool> hashing(Check check)
    {
        if (waiting_.fetch_add(1) >= kMostWaiting) {
            waiting_.fetch_sub(1);
            return std::nullopt;
        }
        hashes_.acquire();
        waiting_.fetch_sub(1);
        struct Release {
            std::counting_semaphore<2>& s;
            ~Release() { s.release(); }
        } release{hashes_};
        return check();
    }

private:
    static std::string keyOf(const std::string& number, const std::string& address);

    StoreEngine& engine_;
    std::size_t capacity_;
    std::counting_semaphore<2> hashes_{2};
    std::atomic<int> waiting_{0};
};
