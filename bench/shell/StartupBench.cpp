// Start-up to first paint: the client started on the sample student launch file against a
// bare Qt window of the same size, each started the same way, as a new process of this
// program that ends at its window's first paint. A third kind, the bare window showing one
// line of Korean in the program's font, shows what any window with Korean text pays first.
#include "../records/RatioReporter.h"
#include "shell/TfrmMain.h"
#include "ui/DialogService.h"
#include "ui/Fonts.h"
#include "ui/TApplication.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {
class SilentDialogs : public DialogService {
public:
    void information(const QString&, const QString&) override {}
    void error(const QString&, const QString& text) override { qFatal("error box: %s", qPrintable(text)); }
    bool question(const QString&, const QString&) override { return false; }
};

class QuitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

enum class Kind { Bare, KoreanLine, Client };

int runChild(int argc, char** argv, Kind kind)
{
    TApplication app(argc, argv);
    DialogService::replace(std::make_unique<SilentDialogs>());
    QTemporaryDir config;
    std::unique_ptr<QWidget> window;
    if (kind == Kind::Client) {
        window = std::make_unique<TfrmMain>(QStringLiteral(DZ_SAMPLE_LAUNCH), config.path());
    } else {
        window = std::make_unique<QWidget>();
        window->resize(818, 628);
    }
    if (kind == Kind::KoreanLine) {
        // The client's own warning line, in its font.
        auto* line = new QLabel(QStringLiteral("감상문의 분량이 제시한 규정(1,500자 +- 150자)을 충족하지 못할 경우 "
                                               "감점(20점)합니다."),
                                window.get());
        line->setFont(GulimcheFont(13));
        line->move(60, 38);
    }
    QuitOnFirstPaint probe;
    window->installEventFilter(&probe);
    window->show();
    return app.exec();
}

QString self;

void startChild(benchmark::State& state, const char* kind)
{
    for (auto _ : state) {
        if (QProcess::execute(self, {QString::fromLatin1(kind)}) != 0)
            state.SkipWithError("child failed");
    }
}

void BM_BareQtWindow(benchmark::State& state)
{
    startChild(state, "--bare");
}
void BM_BareWindowKoreanLine(benchmark::State& state)
{
    startChild(state, "--korean-line");
}
void BM_ClientStudentRun(benchmark::State& state)
{
    startChild(state, "--client");
}
}

// One start a repetition: the ratio compares the medians, which a busy machine disturbs least.
// The kinds' repetitions are interleaved at random (unless the command line says
// otherwise), so a busy moment of the shared machine falls on all alike.
BENCHMARK(BM_BareQtWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21);
BENCHMARK(BM_BareWindowKoreanLine)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21);
BENCHMARK(BM_ClientStudentRun)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2) {
        const std::string kind = argv[1];
        if (kind == "--bare")
            return runChild(argc, argv, Kind::Bare);
        if (kind == "--korean-line")
            return runChild(argc, argv, Kind::KoreanLine);
        if (kind == "--client")
            return runChild(argc, argv, Kind::Client);
    }
    QCoreApplication app(argc, argv);
    self = QCoreApplication::applicationFilePath();
    // First, so that the command line's own setting comes later and wins.
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, interleave.data());
    int argCount = int(args.size());
    benchmark::Initialize(&argCount, args.data());
    // Not measured: the first start of each reads the program and its libraries from disk.
    for (const char* kind : {"--bare", "--korean-line", "--client"})
        QProcess::execute(self, {QString::fromLatin1(kind)});
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_ClientStudentRun", "BM_BareQtWindow", 1.2);
    reporter.printRatio("BM_BareWindowKoreanLine", "BM_BareQtWindow");
    benchmark::Shutdown();
    return 0;
}
