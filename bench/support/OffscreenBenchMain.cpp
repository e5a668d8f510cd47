#include "ui/TApplication.h"

#include <benchmark/benchmark.h>

// The main of benchmarks that need the application and nothing else: its widgets draw
// offscreen unless a platform is named.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
