#include "LoginThrottle.h"

#include <algorithm>

std::string LoginThrottle::keyOf(const std::string& number, const std::string& address)
{
    // A made-up number may be long: its first 64 bytes name it well enough.
    return number.substr(0, 64) + '\n' + address.substr(0, 64);
}

std::optional<std::chrono::seconds> LoginThrottle::wait(const std::string& number, const std::string& address)
{
    const std::lock_guard lock(mutex_);
    const auto found = pairs_.find(keyOf(number, address));
    const Clock::time_point now = Clock::now();
    if (found == pairs_.end() || found->second.until <= now)
        return std::nullopt;
    return std::chrono::ceil<std::chrono::seconds>(found->second.until - now);
}

void LoginThrottle::failed(const std::string& number, const std::string& address)
{
    const std::string key = keyOf(number, address);
    const std::lock_guard lock(mutex_);
    auto found = pairs_.find(key);
    if (found == pairs_.end()) {
        if (pairs_.size() >= kCapacity) {
            pairs_.erase(ages_.front());
            ages_.pop_front();
        }
        found = pairs_.emplace(key, Pair{0, {}, ages_.insert(ages_.end(), key)}).first;
    } else {
        ages_.splice(ages_.end(), ages_, found->second.age);
    }
    Pair& pair = found->second;
    ++pair.failures;
    if (pair.failures >= kFreeFailures) {
        const int doublings = std::min(pair.failures - kFreeFailures, 20);
        pair.until = Clock::now() + std::min<std::chrono::seconds>(kFirstWait * (1LL << doublings), kLongestWait);
    }
}

void LoginThrottle::succeeded(const std::string& number, const std::string& address)
{
    const std::lock_guard lock(mutex_);
    const auto found = pairs_.find(keyOf(number, address));
    if (found == pairs_.end())
        return;
    ages_.erase(found->second.age);
    pairs_.erase(found);
}

std::size_t LoginThrottle::pairs() const
{
    const std::lock_guard lock(mutex_);
    return pairs_.size();
}
