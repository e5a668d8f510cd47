// 50 clients saving essays at once, 10,000 saves in all, against the course server in this
// process. Every save must arrive: each client's lecture ends with as many revisions as it
// sent saves and holds the last record it sent.
#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kClients = 50;
constexpr int kSavesPerClient = 200;

// A blank-paper essay of about 4 KB, different for every save.
std::string recordOf(int client, int save)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001",
                                 QStringLiteral("client %1 save %2 ").arg(client).arg(save).leftJustified(3900, u'x'));
    return EssayRecord::toPacket(record).toStdString();
}

// Posts one save; returns the lecture key of an accepted save, or nothing.
std::string save(httplib::Client& client, const std::string& student, const std::string& token, const std::string& key,
                 const std::string& record)
{
    const httplib::MultipartFormDataItems form{{"flag", "S002", "", ""},
                                               {"student_no", student, "", ""},
                                               {"password", token, "", ""},
                                               {"lecturekey", key, "", ""},
                                               {"submit", "N", "", ""},
                                               {"title", "bench", "", ""},
                                               {"file", record, "Editor", "multipart/form-data"}};
    const httplib::Result result = client.Post("/clientif", form);
    if (!result || result->status != 200 || result->body.rfind("200 ", 0) != 0)
        return {};
    return result->body.substr(result->body.find('\x03') + 1);
}

void BM_ConcurrentSaves(benchmark::State& state)
{
    for (auto _ : state) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("dz-save-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string path = (dir / "course.sqlite").string();
        CourseStore store(path);
        Accounts accounts(path);
        store.seedDemo();
        // Every client is a student's run: its own token, bound to its lecture at the first save.
        std::vector<std::string> tokens;
        for (int c = 0; c < kClients; ++c) {
            const std::string number = "S" + std::to_string(2000 + c);
            store.addStudent({number, number}, "password", "T1001");
            tokens.push_back(accounts.issueToken({Role::Student, number}, Grant::Write, "", ""));
        }
        // All clients share the loopback address, as a school's do behind one gateway.
        ServerOptions options;
        options.limits.connectionsPerAddress = kClients;
        CourseServer server(store, accounts, options);
        const int port = server.bind("127.0.0.1", 0);
        std::thread serving([&server] { server.run(); });

        std::vector<std::string> keys(kClients);
        std::atomic<int> accepted{0};
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c) {
            clients.emplace_back([&, c] {
                httplib::Client client("127.0.0.1", port);
                client.set_keep_alive(true);
                client.set_tcp_nodelay(true);
                for (int s = 0; s < kSavesPerClient; ++s) {
                    const std::string key =
                        save(client, "S" + std::to_string(2000 + c), tokens[c], keys[c], recordOf(c, s));
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
        server.stop();
        serving.join();

        // Accepted saves the store does not hold, and requests that failed on the way.
        int stored = 0;
        int lastMissing = 0;
        for (int c = 0; c < kClients; ++c) {
            const std::optional<Lecture> lecture = store.lecture(keys[c]);
            stored += lecture ? int(lecture->essayRevision) : 0;
            lastMissing += store.essay(keys[c]) != recordOf(c, kSavesPerClient - 1);
        }
        const int failed = kClients * kSavesPerClient - accepted.load();
        state.counters["lost"] = accepted.load() - stored + lastMissing;
        state.counters["failed"] = failed;
        state.SetIterationTime(seconds);
        state.counters["saves"] = accepted.load();
        state.counters["saves_per_second"] = accepted / seconds;
        std::filesystem::remove_all(dir);
    }
}

BENCHMARK(BM_ConcurrentSaves)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}

BENCHMARK_MAIN();
