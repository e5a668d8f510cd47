#include "LoginThrottle.h"

int& LoginThrottle::count(std::map<std::string, Count>& counts, const std::string& key)
{
    const Clock::time_point now = Clock::now();
    Count& c = counts[key];
    if (now - c.since > kWindow)
        c = {0, now};
    return c.failures;
}

bool LoginThrottle::allowed(const std::string& account, const std::string& address)
{
    const std::lock_guard lock(mutex_);
    return count(accounts_, account) < kFailuresPerAccount && count(addresses_, address) < kFailuresPerAddress;
}

void LoginThrottle::failed(const std::string& account, const std::string& address)
{
    const std::lock_guard lock(mutex_);
    ++count(accounts_, account);
    ++count(addresses_, address);
    // Forget stale entries, so a flood of made-up numbers cannot grow the maps for long.
    if (accounts_.size() + addresses_.size() > 100000) {
        const Clock::time_point now = Clock::now();
        std::erase_if(accounts_, [now](const auto& e) { return now - e.second.since > kWindow; });
        std::erase_if(addresses_, [now](const auto& e) { return now - e.second.since > kWindow; });
    }
}

void LoginThrottle::succeeded(const std::string& account)
{
    const std::lock_guard lock(mutex_);
    accounts_.erase(account);
}
