#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <semaphore>
#include <string>

// Guards the slow password check: failures are counted per account and per address within
// a window, and past the limit an attempt is refused before any hash is computed; at most
// two hashes (64 MiB each) run at once.
class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kFailuresPerAccount = 10;
    static constexpr int kFailuresPerAddress = 30;
    static constexpr std::chrono::minutes kWindow{15};

    // False when the account or the address has failed too often lately.
    bool allowed(const std::string& account, const std::string& address);
    void failed(const std::string& account, const std::string& address);
    void succeeded(const std::string& account);

    // Runs the check while holding one of the two hashing places.
    template <typename Check>
    bool hashing(Check check)
    {
        hashes_.acquire();
        struct Release {
            std::counting_semaphore<2>& s;
            ~Release() { s.release(); }
        } release{hashes_};
        return check();
    }

private:
    struct Count {
        int failures = 0;
        Clock::time_point since;
    };
    int& count(std::map<std::string, Count>& counts, const std::string& key);

    std::mutex mutex_;
    std::map<std::string, Count> accounts_;
    std::map<std::string, Count> addresses_;
    std::counting_semaphore<2> hashes_{2};
};
