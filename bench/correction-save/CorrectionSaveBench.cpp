// Saving a 20-page board correction with 50 marks a page to the course server: the whole
// save as the save button runs it (page 1 shown, thumbnail, summary, packet, post), the
// JPEG compression of its thumbnail alone, the post alone, and preparing the correction
// print of the same 20 pages. Prints the share of the save that the JPEG takes.
#include "CorrectionWorkload.h"
#include "board/SorBoard.h"
#include "core/Endpoint.h"
#include "correction/TeacherForm.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "correction/Thumbnail.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "net/ReplyText.h"
#include "net/Transport.h"
#include "support/BenchSmoke.h"
#include "support/CourseServerProcess.h"
#include "text/Cp949.h"
#include "ui/DialogService.h"
#include "ui/PictureButton.h"
#include "ui/TApplication.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

using namespace CorrectionWorkload;

QString lectureKey;

// The server's messages go nowhere: a benchmark has nobody to click OK.
class SilentDialogs : public DialogService {
public:
    void information(const QString&, const QString&) override {}
    void error(const QString&, const QString& text) override
    {
        std::fprintf(stderr, "error box: %s\n", text.toLocal8Bit().constData());
    }
    bool question(const QString&, const QString&) override { return false; }
};

// The demo student's essay on a new lecture of the course server.
QString PostEssay()
{
    DataSet essay = Essay(QString::fromLatin1(CourseServerProcess::kStudentNo));
    UploadForm form;
    form.AddTextPart(QStringLiteral("flag"), QStringLiteral("S002"));
    form.AddTextPart(QStringLiteral("student_no"), QString::fromLatin1(CourseServerProcess::kStudentNo));
    form.AddTextPart(QStringLiteral("password"), QString::fromLatin1(CourseServerProcess::kStudentPassword));
    form.AddTextPart(QStringLiteral("lecturekey"), QString());
    form.AddTextPart(QStringLiteral("submit"), QStringLiteral("N"));
    form.AddTextPart(QStringLiteral("title"), QStringLiteral("우리 동네 도서관에 다녀와서"));
    form.AddDataPart(QStringLiteral("file"), QStringLiteral("multipart/form-data"), QStringLiteral("Editor"),
                     EssayRecord::toPacket(essay));
    const ReplyText reply = SplitReply(PostForm(form));
    if (!reply.accepted())
        throw std::runtime_error(reply.message.toStdString());
    return reply.value;
}

// The teacher's frame on the 20 pages, the marks loaded, a review and scores filled in.
struct Correction {
    Correction() : frame(nullptr)
    {
        frame.resize(1000, 690);
        frame.show();
        frame.Session().ReadTeacherFields(
            LaunchFields({"T001", QString::fromLatin1(CourseServerProcess::kTeacherNo),
                          QString::fromLatin1(CourseServerProcess::kTeacherPassword), "0", lectureKey,
                          QString::fromLatin1(CourseServerProcess::kStudentNo), "", "", "1", "", "", "", "Y"}));
        DataSet correction(CorrectionRecord::fields());
        FillCorrection(correction);
        frame.LoadCorrection(Essay(QString::fromLatin1(CourseServerProcess::kStudentNo)), std::move(correction));
        Memo1->setPlainText(QString(40, u'가') + QStringLiteral(" 잘 읽었습니다. ").repeated(30));
    }
    bool ready() const { return cmbList->count() == kPages && Board->Items().Count() == kMarksPerPage; }
    TfmeTeacher frame;
    QComboBox* cmbList = frame.findChild<QComboBox*>(QStringLiteral("cmbList"));
    TSorBoard* Board = static_cast<TSorBoard*>(frame.findChild<QWidget*>(QStringLiteral("Board")));
    QPlainTextEdit* Memo1 = frame.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QPlainTextEdit* Memo2 = frame.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
};

void BM_SaveCorrection(benchmark::State& state)
{
    Correction c;
    if (!c.ready())
        state.SkipWithError("the essay does not have 20 pages of 50 marks");
    int page = 0;
    for (auto _ : state) {
        // The teacher is somewhere in the essay when the save is pressed.
        state.PauseTiming();
        page = (page + 7) % kPages;
        c.cmbList->setCurrentIndex(page);
        c.frame.cmbListChange(page);
        c.frame.Session().SetModified(true);
        state.ResumeTiming();
        c.frame.btnClick(c.frame.btnSave);
        if (c.frame.Session().Modified())
            state.SkipWithError("the save was not accepted");
    }
}
BENCHMARK(BM_SaveCorrection)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(3));

// Page 1 with its comment, as the save composes it before the address and the JPEG.
QImage PageOneThumbnail(Correction& c)
{
    QImage page(c.Board->size(), QImage::Format_RGB32);
    c.Board->DrawPicture(page);
    QImage comment;
    frmTemp->RenderText(c.Memo2->toPlainText(), comment);
    return Thumbnail::Board(page, comment);
}

// The thumbnail's compression alone: the address written and the JPEG made.
void BM_ThumbnailJpeg(benchmark::State& state)
{
    Correction c;
    const QImage thumbnail = PageOneThumbnail(c);
    for (auto _ : state)
        benchmark::DoNotOptimize(Thumbnail::Encode(thumbnail));
}
BENCHMARK(BM_ThumbnailJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(2));

// The exchange alone: the same record and thumbnail posted, the server's reply read.
void BM_PostOnly(benchmark::State& state)
{
    Correction c;
    DataSet record(CorrectionRecord::fields());
    CorrectionRecord::writeSummary(record, c.frame.Session().cdTemp, {c.Memo1->toPlainText(), {}, false});
    const CorrectionSession& session = c.frame.Session();
    const TeacherSubmission submission{
        session.Launch().teacherNo, session.Launch().password,          session.Launch().lectureKey,
        session.Launch().studentNo, CorrectionRecord::toPacket(record), Thumbnail::Encode(PageOneThumbnail(c)),
        QStringLiteral("80")};
    for (auto _ : state)
        if (!PostTeacherForm(submission).accepted())
            state.SkipWithError("the server refused the correction");
}
BENCHMARK(BM_PostOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(3));

// The correction print of the 20 pages, prepared as the 첨삭출력 button does before the
// preview opens: every page shown and copied, the review broken into lines, the layout.
void BM_PrepareCorrectionPrint(benchmark::State& state)
{
    Correction c;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.frame.PrepareCorrectionPrint());
}
BENCHMARK(BM_PrepareCorrectionPrint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchMinTime(3));

// Console output, and the share of the save that its JPEG compression takes.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void printShare() const
    {
        const auto save = times_.find("BM_SaveCorrection");
        const auto jpeg = times_.find("BM_ThumbnailJpeg");
        const auto post = times_.find("BM_PostOnly");
        if (save == times_.end() || jpeg == times_.end() || save->second <= 0)
            return;
        std::printf("thumbnail JPEG %.2f ms of a save of %.2f ms: %.1f%%\n", jpeg->second, save->second,
                    100 * jpeg->second / save->second);
        if (post == times_.end() || post->second >= save->second)
            return;
        const double client = save->second - post->second;
        std::printf("without the exchange with the server (%.2f ms) the save takes %.2f ms, of which the "
                    "JPEG is %.1f%%\n",
                    post->second, client, 100 * jpeg->second / client);
    }

private:
    std::map<std::string, double> times_;
};

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    TApplication app(argc, argv);
    DialogService::replace(std::make_unique<SilentDialogs>());

    CourseServerProcess course;
    course.start();
    SetServerUrl(course.url());
    lectureKey = PostEssay();

    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printShare();
    benchmark::Shutdown();
    return 0;
}
