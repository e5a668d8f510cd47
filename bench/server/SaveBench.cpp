// 50 clients saving essays at once, 10,000 saves in all, against course servers in this
// process, every save on disk before it is answered, in four set-ups in the same run: SQLite
// with saves that arrive together committed as one transaction (grouped), SQLite with one
// transaction per save, PostgreSQL (a throw-away cluster of its own, fsync on) with one
// instance, and PostgreSQL with two instances behind nginx. Every save must arrive: each
// client's lecture ends with as many revisions as it sent saves and holds the last record it
// sent. `vs_sqlite` is the set-up's saves per second over grouped SQLite's in this run.
#include "TestCluster.h"
#include "TestStore.h"
#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "support/BenchSmoke.h"
#include "support/HttpClient.h"
#include "support/NginxBalancer.h"
#include "support/ServingThread.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <atomic>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kClients = BenchSmokeRun() ? 5 : 50;
const int kSavesPerClient = BenchSmokeRun() ? 2 : 200;

// Process's peak resident memory in MiB (VmHWM).
double peakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// A blank-paper essay of about 4 KB, different for every save.
std::string recordOf(int client, int save)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001",
                                 QStringLiteral("client %1 save %2 ").arg(client).arg(save).leftJustified(3900, u'x'));
    return EssayRecord::toPacket(record).toStdString();
}

// Posts one save; returns the lecture key of an accepted save, or nothing.
std::string save(HttpClient& client, const std::string& student, const std::string& token, const std::string& key,
                 const std::string& record)
{
    const HttpClient::Answer answer = client.postForm("/clientif", {{"flag", "S002", "", ""},
                                                                    {"student_no", student, "", ""},
                                                                    {"password", token, "", ""},
                                                                    {"lecturekey", key, "", ""},
                                                                    {"submit", "N", "", ""},
                                                                    {"title", "bench", "", ""},
                                                                    {"file", record, "Editor", "multipart/form-data"}});
    if (answer.status != 200 || answer.body.rfind("200 ", 0) != 0)
        return {};
    return answer.body.substr(answer.body.find('\x03') + 1);
}

enum Setup { SqliteGrouped, SqlitePerSave, PostgresOne, PostgresTwoBehindNginx };

// Started at the first PostgreSQL set-up, stopped when the program ends.
std::unique_ptr<TestCluster> cluster;
double sqliteSavesPerSecond = 0;

// The course servers of a set-up, each with its own store on the same database, serving
// until destroyed.
struct Instance {
    Instance(const std::string& location, CourseStore::Commit commit)
        : store(location, commit), accounts(store), server(store, accounts), serving(server), port(serving.port())
    {
    }
    CourseStore store;
    Accounts accounts;
    CourseServer server;
    ServingThread serving;
    int port = 0;
};

void BM_ConcurrentSaves(benchmark::State& state)
{
    const auto setup = Setup(state.range(0));
    if (setup >= PostgresOne && !cluster)
        cluster = std::make_unique<TestCluster>();
    for (auto _ : state) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("dz-save-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string location =
            setup >= PostgresOne ? TestStoreLocation({}) : "sqlite:" + (dir / "course.sqlite").string();
        std::vector<std::unique_ptr<Instance>> instances;
        instances.push_back(std::make_unique<Instance>(
            location, setup == SqlitePerSave ? CourseStore::Commit::PerSave : CourseStore::Commit::Grouped));
        if (setup == PostgresTwoBehindNginx)
            instances.push_back(std::make_unique<Instance>(location, CourseStore::Commit::Grouped));
        CourseStore& store = instances.front()->store;
        Accounts& accounts = instances.front()->accounts;
        store.seedDemo();
        // Every client is a student's run: its own token, bound to its lecture at the first save.
        std::vector<std::string> tokens;
        for (int c = 0; c < kClients; ++c) {
            const std::string number = "S" + std::to_string(2000 + c);
            store.addStudent({number, number}, "password", "T1001");
            tokens.push_back(accounts.issueToken({Role::Student, number}, Grant::Write, "", ""));
        }
        // All clients share the loopback address, as a school's do behind one gateway.
        std::unique_ptr<NginxBalancer> proxy;
        if (setup == PostgresTwoBehindNginx)
            proxy = std::make_unique<NginxBalancer>(std::vector<int>{instances[0]->port, instances[1]->port});
        const int port = proxy ? proxy->port() : instances.front()->port;

        // Records made before the clock starts: the figure is the server's.
        std::vector<std::vector<std::string>> records(static_cast<std::size_t>(kClients));
        for (int c = 0; c < kClients; ++c)
            for (int s = 0; s < kSavesPerClient; ++s)
                records[size_t(c)].push_back(recordOf(c, s));
        std::vector<std::string> keys(kClients);
        std::atomic<int> accepted{0};
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c) {
            clients.emplace_back([&, c] {
                HttpClient client(port);
                for (int s = 0; s < kSavesPerClient; ++s) {
                    const std::string key =
                        save(client, "S" + std::to_string(2000 + c), tokens[c], keys[c], records[size_t(c)][size_t(s)]);
                    if (!key.empty()) {
                        keys[c] = key;
                        ++accepted;
                    }
                }
            });
        }
        for (std::thread& t : clients)
            t.join();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        proxy.reset();

        // Accepted saves the store does not hold, and requests that failed on the way.
        int stored = 0;
        int lastMissing = 0;
        for (int c = 0; c < kClients; ++c) {
            const std::optional<Lecture> lecture = store.lecture(keys[c]);
            stored += lecture ? int(lecture->essayRevision) : 0;
            lastMissing += store.essay(keys[c]) != records[size_t(c)].back();
        }
        const int failed = kClients * kSavesPerClient - accepted.load();
        state.counters["lost"] = accepted.load() - stored + lastMissing;
        state.counters["failed"] = failed;
        state.SetIterationTime(seconds);
        state.counters["saves"] = accepted.load();
        state.counters["saves_per_second"] = accepted / seconds;
        state.counters["peak_MiB"] = peakMemoryMiB();
        if (setup == SqliteGrouped)
            sqliteSavesPerSecond = accepted / seconds;
        if (sqliteSavesPerSecond > 0)
            state.counters["vs_sqlite"] = accepted / seconds / sqliteSavesPerSecond;
        instances.clear();
        std::filesystem::remove_all(dir);
    }
}

BENCHMARK(BM_ConcurrentSaves)
    ->ArgName("setup")
    ->Arg(SqliteGrouped)
    ->Arg(SqlitePerSave)
    ->Arg(PostgresOne)
    ->Arg(PostgresTwoBehindNginx)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(BenchIterations(3));

}

BENCHMARK_MAIN();
