#include "LoginThrottle.h"

#include <algorithm>

namespace {

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}

std::string LoginThrottle::keyOf(const std::string& number, const std::string& address)
{
    // A made-up number may be long: its first 64 bytes name it well enough.
    return number.substr(0, 64) + '\n' + address.substr(0, 64);
}

std::optional<std::chrono::seconds> LoginThrottle::wait(const std::string& number, const std::string& address)
{
    std::int64_t until = 0;
    engine_.read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT until_ms FROM sign_in_pairs WHERE pair = $1", {keyOf(number, address)});
        if (!rows.empty())
            until = rows.front().number(0);
    });
    const std::int64_t left = until - nowMs();
    if (left <= 0)
        return std::nullopt;
    return std::chrono::seconds((left + 999) / 1000);
}

void LoginThrottle::failed(const std::string& number, const std::string& address)
{
    const std::string key = keyOf(number, address);
    engine_.writeLazily([&](SqlConnection& db) {
        // Every failure makes its pair the youngest; the oldest past the table's size go.
        const std::int64_t ordinal =
            db.query("SELECT coalesce(max(ordinal), 0) + 1 FROM sign_in_pairs").at(0).number(0);
        const std::int64_t failures =
            db.query("INSERT INTO sign_in_pairs (pair, failures, until_ms, ordinal) VALUES ($1, 1, 0, $2) "
                     "ON CONFLICT (pair) DO UPDATE SET failures = sign_in_pairs.failures + 1, ordinal = $2 "
                     "RETURNING failures",
                     {key, ordinal})
                .at(0)
                .number(0);
        if (failures >= kFreeFailures) {
            const int doublings = int(std::min<std::int64_t>(failures - kFreeFailures, 20));
            const auto wait = std::min<std::chrono::seconds>(kFirstWait * (1LL << doublings), kLongestWait);
            db.run("UPDATE sign_in_pairs SET until_ms = $1 WHERE pair = $2",
                   {nowMs() + std::chrono::milliseconds(wait).count(), key});
        }
        db.run("DELETE FROM sign_in_pairs WHERE ordinal <= $1", {ordinal - std::int64_t(capacity_)});
    });
}

void LoginThrottle::succeeded(const std::string& number, const std::string& address)
{
    engine_.writeLazily(
        [&](SqlConnection& db) { db.run("DELETE FROM sign_in_pairs WHERE pair = $1", {keyOf(number, address)}); });
}

std::size_t LoginThrottle::pairs() const
{
    std::size_t count = 0;
    engine_.read([&](SqlConnection& db) {
        count = std::size_t(db.query("SELECT count(*) FROM sign_in_pairs").at(0).number(0));
    });
    return count;
}
