// Moving to the next essay of the teacher's queue in the open window (the correction saved,
// the next launch handed out, its essay loaded and its first page painted), against opening
// the same essay from its launch file in a new process of this program that ends at its
// window's first paint. Both against one course server with the demo course and essays the
// benchmark stores itself.
#include "../records/RatioReporter.h"
#include "correction/CorrectionSession.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TfmeTeacher.h"
#include "document/EssayRecord.h"
#include "server/CourseStore.h"
#include "shell/TfrmMain.h"
#include "support/BenchSmoke.h"
#include "support/CourseServerProcess.h"
#include "support/HttpClient.h"
#include "ui/DialogService.h"
#include "ui/TApplication.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// Saving is answered yes; any other box ends the run, as a benchmark of a broken path must.
class SilentDialogs : public DialogService {
public:
    void information(const QString&, const QString& text) override { qFatal("box: %s", qPrintable(text)); }
    void error(const QString&, const QString& text) override { qFatal("error box: %s", qPrintable(text)); }
    bool question(const QString&, const QString& text) override { return text == QStringLiteral("저장하시겠습니까?"); }
};

class PaintProbe : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

// A manuscript essay of 40 full lines, as a student's client saves it.
QByteArray essayRecord()
{
    DataSet record(EssayRecord::fields());
    record.append();
    record.setInteger(u"NType", EssayRecord::Manuscript);
    record.setString(u"USER_ID", QStringLiteral("S1001"));
    record.setString(u"L1", QStringLiteral("우리 동네 도서관에는 책이 많습니다 그래서 자주 갑니다\r\n").repeated(40));
    record.post();
    return EssayRecord::toPacket(record);
}

QString self;
QString configDir;
std::unique_ptr<CourseServerProcess> server;

QString saveLaunch(const QString& key, const QString& name)
{
    HttpClient client(QUrl(server->url()).port());
    const HttpClient::Answer answer = client.get(
        "/launch/T001/" + key.toStdString() + ".dzl",
        {{"Authorization", HttpClient::basic(CourseServerProcess::kTeacherNo, CourseServerProcess::kTeacherPassword)}});
    if (answer.status != 200)
        qFatal("no launch file for %s: %s", qPrintable(key), answer.body.c_str());
    const QString path = QDir(configDir).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::fromStdString(answer.body));
    return path;
}

void BM_MoveToNextEssay(benchmark::State& state)
{
    TfrmMain window(saveLaunch(QStringLiteral("B1"), QStringLiteral("move.dzl")), configDir);
    window.show();
    // Every essay stays in the queue, so the run can go back and forth between two.
    window.FTeacher->QueueBar()->chkAll->setChecked(true);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* review = window.FTeacher->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        review->setPlainText(QStringLiteral("고쳐 쓸 곳 %1").arg(++step));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const QString from = window.FTeacher->Session().Launch().lectureKey;
        window.MoveInQueue(window.FTeacher, step % 2 ? EssayQueue::Direction::Next : EssayQueue::Direction::Previous);
        // The new frame may have painted already while its essay was fetched: the window is
        // painted whole once more, as a new process paints it the first time.
        window.repaint();
        if (!window.FTeacher || window.FTeacher->Session().Launch().lectureKey == from) {
            state.SkipWithError("the window did not move");
            break;
        }
    }
}

void BM_OpenInNewProcess(benchmark::State& state)
{
    // Fetched afresh: the moves hand out tokens, and a teacher's oldest give way to new ones.
    const QString launchPath = saveLaunch(QStringLiteral("B2"), QStringLiteral("open.dzl"));
    for (auto _ : state)
        if (QProcess::execute(self, {QStringLiteral("--open"), launchPath, configDir}) != 0)
            state.SkipWithError("child failed");
}

int runChild(int argc, char** argv)
{
    TApplication app(argc, argv);
    DialogService::replace(std::make_unique<SilentDialogs>());
    TfrmMain window(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    PaintProbe probe;
    window.installEventFilter(&probe);
    window.show();
    while (!probe.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return 0;
}

}

BENCHMARK(BM_MoveToNextEssay)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(BenchIterations(10))
    ->Repetitions(BenchSmokeRun() ? 1 : 3);
BENCHMARK(BM_OpenInNewProcess)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(BenchIterations(10))
    ->Repetitions(BenchSmokeRun() ? 1 : 3);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::string(argv[1]) == "--open")
        return runChild(argc, argv);
    TApplication app(argc, argv);
    DialogService::replace(std::make_unique<SilentDialogs>());
    self = QCoreApplication::applicationFilePath();
    QTemporaryDir config;
    configDir = config.path();
    server = std::make_unique<CourseServerProcess>();
    server->start();
    {
        CourseStore store((server->dataDir() + QStringLiteral("/course.sqlite")).toStdString());
        const std::string record = essayRecord().toStdString();
        for (const char* key : {"B1", "B2", "B3", "B4"}) {
            store.addLecture(key, CourseServerProcess::kStudentNo, std::string("독서 감상문 ") + key, "");
            store.saveEssay(
                {CourseServerProcess::kStudentNo, key, std::string("독서 감상문 ") + key, "N", record, {}, {}});
        }
    }
    QFile ini(QDir(configDir).filePath(QStringLiteral("dozoruderado.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[CONFIG]\r\nURL=" + server->url().toLatin1().toBase64() + "\r\n");
    ini.close();

    benchmark::Initialize(&argc, argv);
    // Not measured: the first start reads the program and its libraries from disk.
    QProcess::execute(
        self, {QStringLiteral("--open"), saveLaunch(QStringLiteral("B2"), QStringLiteral("open.dzl")), configDir});
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_MoveToNextEssay", "BM_OpenInNewProcess", 1.0);
    benchmark::Shutdown();
    server.reset();
    return 0;
}
