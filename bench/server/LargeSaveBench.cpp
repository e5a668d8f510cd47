// One large essay (48 MiB, as a scanned essay of many pages may be) saved straight into the
// store, on SQLite and on PostgreSQL (a throw-away cluster of its own). `extra_MiB` is how
// far the process's resident memory rose above what it held before the save, the record
// itself already in memory: what the store path costs beyond the record.
#include "TestCluster.h"
#include "TestStore.h"
#include "server/CourseStore.h"
#include "support/BenchSmoke.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const std::size_t kRecordBytes = (BenchSmokeRun() ? 4u : 48u) << 20;

std::unique_ptr<TestCluster> cluster;

// A line of /proc/self/status ("VmRSS:", "VmHWM:") in MiB.
double statusMiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(field.size())) / 1024;
    return 0;
}

// Lets VmHWM count from the memory held now.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_LargeSave(benchmark::State& state)
{
    const bool postgres = state.range(0) == 1;
    if (postgres && !cluster)
        cluster = std::make_unique<TestCluster>();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("dz-large-save-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    CourseStore store(postgres ? TestStoreLocation({}) : "sqlite:" + (dir / "course.sqlite").string());
    store.seedDemo();
    std::string record(kRecordBytes, '\0');
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = char((i * 2654435761u) >> 13);
    const EssaySave save{"S1001", CourseStore::kDemoLecture, "제목", "N", std::move(record), {}, {}};
    for (auto _ : state) {
        resetPeak();
        const double before = statusMiB("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        store.saveEssay(save);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["extra_MiB"] = statusMiB("VmHWM:") - before;
    }
    state.counters["record_MiB"] = double(kRecordBytes >> 20);
    std::filesystem::remove_all(dir);
}

}

BENCHMARK(BM_LargeSave)
    ->ArgName("postgresql")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
