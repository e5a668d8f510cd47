// Posting a 10 MB essay record over loopback: the client's PostForm against curl posting
// the same form to the same course server (time_vs_curl), and the client's peak memory
// over the body.
#include "core/Endpoint.h"
#include "document/EssayRecord.h"
#include "net/ReplyText.h"
#include "net/Transport.h"
#include "support/BenchSmoke.h"
#include "support/CourseServerProcess.h"
#include "text/Cp949.h"
#include "ui/TApplication.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>

namespace {

constexpr int kPages = 5;
constexpr qsizetype kPageSize = 2 << 20;

CourseServerProcess* server = nullptr;
QString token;
QTemporaryDir* files = nullptr;

// An essay record of about 10 MB the server accepts: five scanned pages of 2 MB each.
QByteArray record()
{
    DataSet essay(EssayRecord::fields());
    for (int page = 0; page < kPages; ++page) {
        QByteArray bytes(kPageSize, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131 + page) >> 3);
        essay.append();
        essay.setString(u"USER_ID", QString::fromLatin1(CourseServerProcess::kStudentNo));
        essay.setInteger(u"NType", EssayRecord::ScannedPages);
        essay.setBytes(u"LImage", bytes);
        essay.setString(u"LImageType", QStringLiteral("JPEG"));
        essay.post();
    }
    return EssayRecord::toPacket(essay);
}

qsizetype recordSize()
{
    static const qsizetype size = record().size();
    return size;
}

// curl's mean time for one post, measured first: the client's is shown against it.
double curlSeconds = 0;

const QString kTitle = QStringLiteral("우리 동네 도서관에 다녀와서");

// A memory figure of /proc/self/status ("VmHWM:" peak since the last reset, "VmRSS:" now),
// in bytes.
long long memoryFigure(const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

void resetPeakRss()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void BM_PostForm10MB(benchmark::State& state)
{
    const QByteArray bytes = record();
    double worstRatio = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        resetPeakRss();
        const long long before = memoryFigure("VmRSS:");
        {
            UploadForm form;
            form.AddTextPart("flag", "S002");
            form.AddTextPart("student_no", CourseServerProcess::kStudentNo);
            form.AddTextPart("password", token);
            form.AddTextPart("lecturekey", CourseServerProcess::kLectureKey);
            form.AddTextPart("submit", "N");
            form.AddTextPart("title", kTitle);
            form.AddDataPart("file", "multipart/form-data", "Editor", bytes);
            if (!SplitReply(PostForm(form)).accepted())
                state.SkipWithError("server refused the save");
        }
        worstRatio = std::max(worstRatio, double(memoryFigure("VmHWM:") - before) / double(recordSize()));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["peak_memory_per_body"] = worstRatio;
    // Time per post against curl's: 1 is as fast as curl.
    if (curlSeconds > 0)
        state.counters["time_vs_curl"] = seconds / double(state.iterations()) / curlSeconds;
    state.SetBytesProcessed(state.iterations() * recordSize());
}

void BM_CurlPost10MB(benchmark::State& state)
{
    const QString dir = files->path();
    const QStringList args{QStringLiteral("-s"),
                           QStringLiteral("-o"),
                           QStringLiteral("/dev/null"),
                           QStringLiteral("-F"),
                           QStringLiteral("flag=S002"),
                           QStringLiteral("-F"),
                           QStringLiteral("student_no=") + CourseServerProcess::kStudentNo,
                           QStringLiteral("-F"),
                           QStringLiteral("password=") + token,
                           QStringLiteral("-F"),
                           QStringLiteral("lecturekey=") + CourseServerProcess::kLectureKey,
                           QStringLiteral("-F"),
                           QStringLiteral("submit=N"),
                           QStringLiteral("-F"),
                           QStringLiteral("title=<") + dir + QStringLiteral("/title.txt"),
                           QStringLiteral("-F"),
                           QStringLiteral("file=@") + dir
                               + QStringLiteral("/record.bin;type=multipart/form-data;filename=Editor"),
                           server->url() + QStringLiteral("/clientif")};
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral("curl"), args) != 0)
            state.SkipWithError("curl failed");
    }
    curlSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
    state.SetBytesProcessed(state.iterations() * recordSize());
}

// curl first: the client's post is then shown against it.
BENCHMARK(BM_CurlPost10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(3));
BENCHMARK(BM_PostForm10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(3));

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Large blocks always mapped and returned at once, so resident memory shows what a post holds.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    benchmark::Initialize(&argc, argv);
    TApplication app(argc, argv);

    CourseServerProcess course;
    course.start();
    server = &course;
    SetServerUrl(course.url());
    QBuffer launch;
    DownloadToStream(course.launchUrl(QStringLiteral("S001"), CourseServerProcess::kLectureKey), launch);
    token = Cp949::decode(launch.data()).split(QChar(0x03)).value(2);

    QTemporaryDir dir;
    files = &dir;
    QFile title(dir.path() + QStringLiteral("/title.txt"));
    title.open(QIODevice::WriteOnly);
    title.write(Cp949::encode(kTitle));
    title.close();
    QFile data(dir.path() + QStringLiteral("/record.bin"));
    data.open(QIODevice::WriteOnly);
    data.write(record());
    data.close();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
