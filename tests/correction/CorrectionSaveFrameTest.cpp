#include "Course.h"
#include "Essays.h"

#include "board/SorBoard.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/ReviewLines.h"
#include "correction/ScoreSheet.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "net/Transport.h"
#include "report/TfrmPreview.h"
#include "support/PixelCount.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "text/Cp949.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using Kind = RecordingDialogs::Kind;

namespace {

// x-ppi and y-ppi of every picture in a PDF, as pdfimages lists them.
QList<QPoint> PdfImageResolutions(const QString& pdf)
{
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!list.waitForFinished(60000) || list.exitCode() != 0) {
        ADD_FAILURE() << "pdfimages -list failed (poppler-utils): " << list.readAllStandardError().toStdString();
        return {};
    }
    QList<QPoint> resolutions;
    const QList<QByteArray> rows = list.readAllStandardOutput().split('\n');
    for (const QByteArray& row : rows.mid(2)) {
        const QList<QByteArray> columns = row.simplified().split(' ');
        if (columns.size() >= 14)
            resolutions.append(QPoint(columns[12].toInt(), columns[13].toInt()));
    }
    return resolutions;
}

using W = TeacherWidgets;

const QString kSaved = QStringLiteral("첨삭이 저장되었습니다.");

// A saved correction says so on the notice line, to the second, and asks nothing.
QString Notice(const TfmeTeacher& frame)
{
    return frame.findChild<QLabel*>(QStringLiteral("lblNotice"))->text();
}

bool SavedNotice(const TfmeTeacher& frame)
{
    return QRegularExpression(QStringLiteral("^첨삭이 저장되었습니다\\. \\d\\d:\\d\\d:\\d\\d$"))
        .match(Notice(frame))
        .hasMatch();
}

// A board correction as the frame saves it: page 1 with a mark and a comment.
DataSet BoardCorrection(const QString& review)
{
    return Essays::BoardCorrection({{1, {Essays::Mark(dt16, {40, 40, 81, 31})}, "첫 쪽 평\r\n"}},
                                   {review, {"60", "45", "15", "25", "10", "10", "5"}, false});
}

QByteArray Download(const QString& address)
{
    QBuffer stream;
    DownloadToStream(address, stream);
    return stream.data();
}

DataSet StoredCorrection(const QString& key)
{
    DataSet record;
    record.loadPacket(Download(Course::CorrectionUrl(key)));
    return record;
}

QImage StoredThumbnail(const QString& key)
{
    return Jpeg::decode(
        Download(CourseServerProcess::asDemoStudent(Course::Server().url() + QStringLiteral("/thumbnail/") + key)));
}

QString StoredScore(const QString& key)
{
    const QByteArray launch = Download(Course::Server().launchUrl(QStringLiteral("C001"), key));
    return Cp949::decode(launch.split('\x03').value(8));
}

bool HasCorrection(const QString& key)
{
    try {
        Download(Course::CorrectionUrl(key));
        return true;
    } catch (const AppError&) {
        return false;
    }
}

// The rows of the record whose review (M1) is not empty, as (position, review).
QList<std::pair<int, QString>> Reviews(DataSet& record)
{
    QList<std::pair<int, QString>> reviews;
    for (record.first(); !record.eof(); record.next())
        if (!record.asString(u"M1").isEmpty())
            reviews.append({record.position(), record.asString(u"M1")});
    return reviews;
}

bool AnyDark(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

QList<TfrmPreview*> Previews()
{
    QList<TfrmPreview*> previews;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<TfrmPreview*>(widget); preview && preview->isVisible())
            previews.append(preview);
    return previews;
}

class CorrectionSave : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Course::Start(); }
    static void TearDownTestSuite() { Course::Stop(); }

    void TearDown() override
    {
        for (TfrmPreview* preview : Previews())
            delete preview;
    }

    std::unique_ptr<TfmeTeacher> Teacher(const QStringList& fields)
    {
        auto frame = Course::ShownFrame();
        frame->SetupTeacherRun(LaunchFields(fields), &title);
        return frame;
    }

    // A frame on records given directly, as a teacher run would have downloaded them.
    std::unique_ptr<TfmeTeacher> Loaded(DataSet essay, DataSet correction)
    {
        auto frame = Course::ShownFrame();
        frame->Session().ReadTeacherFields(
            LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "", "", "1", "제목", "", "", "Y"}));
        frame->LoadCorrection(std::move(essay), std::move(correction));
        return frame;
    }

    // A new lecture with a manuscript essay of two pages and a board correction of page 1.
    static QString BoardLecture()
    {
        DataSet essay = Essays::Manuscript(40);
        const QString key = Course::PostEssay(essay);
        DataSet correction = BoardCorrection(QStringLiteral("처음 총평\r\n"));
        Course::PostCorrection(key, correction);
        return key;
    }

    static void Save(TfmeTeacher& frame) { QTest::mouseClick(frame.btnSave, Qt::LeftButton); }

    ScopedRecordingDialogs dialogs;
    QLineEdit title;
};

}  // namespace

// The save stores the page on the board, shows page 1, and sends the record with one
// summary row and a thumbnail of page 1 with its comment; the server's message is shown.
TEST_F(CorrectionSave, BoardCorrectionIsSentWithItsSummaryAndThumbnail)
{
    const QString key = BoardLecture();
    auto frame = Teacher(Course::TeacherFields(key, true));
    W(*frame).cmbList->setCurrentIndex(1);
    frame->cmbListChange(1);
    QTest::keyClicks(W(*frame).Memo2, "page two");
    W(*frame).Memo1->setPlainText(QStringLiteral("새 총평"));
    frame->Session().Scores().setEditText(2, 2, QStringLiteral("40"));
    frame->Session().Scores().setEditText(7, 2, QStringLiteral("8"));
    const QString total = W(*frame).ComboBox1->text();
    ASSERT_EQ(total, QStringLiteral("83"));
    ASSERT_TRUE(frame->Session().Modified());
    const int working = frame->Session().cdTemp.recordCount();

    Save(*frame);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(SavedNotice(*frame)) << Notice(*frame).toStdString();
    EXPECT_TRUE(dialogs->texts(Kind::Error).isEmpty());
    EXPECT_FALSE(frame->Session().Modified());
    EXPECT_EQ(frame->Session().ReportPoint(), total);
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 0);
    EXPECT_EQ(frame->Session().PageIndex(), 0);
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), QStringLiteral("첫 쪽 평\n"));
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 0) << "the record is rebuilt at each save";
    EXPECT_GE(frame->Session().cdTemp.recordCount(), working) << "the working copy stays";

    DataSet stored = StoredCorrection(key);
    const QList<std::pair<int, QString>> reviews = Reviews(stored);
    ASSERT_EQ(reviews.size(), 1);
    EXPECT_EQ(reviews[0], std::make_pair(stored.recordCount() - 1, QStringLiteral("새 총평\r\n")));
    stored.moveTo(stored.recordCount() - 1);
    QStringList points;
    for (int p = 1; p <= 8; ++p)
        points << stored.asString(QStringLiteral("p%1").arg(p));
    EXPECT_EQ(points, QStringList({"55", "40", "15", "28", "10", "10", "8", "FALSE"}))
        << points.join(u',').toStdString();
    const CorrectionRecord::Page page1 = CorrectionRecord::loadPage(stored, CorrectionRecord::pageKey(1));
    EXPECT_EQ(page1.marks.size(), 1);
    EXPECT_EQ(CorrectionRecord::loadPage(stored, CorrectionRecord::pageKey(2)).comment, QStringLiteral("page two\r\n"));
    stored.setOrder(u"PAGE");
    stored.setRange(CorrectionRecord::pageKey(0));
    EXPECT_EQ(stored.recordCount(), 1) << "the page row of page 0";
    stored.first();
    EXPECT_TRUE(stored.asString(u"M2").isEmpty());

    // Page 1 at (0, 0) with its mark, its comment at (656, 0), the address over them.
    const QImage thumbnail = StoredThumbnail(key);
    ASSERT_EQ(thumbnail.size(), QSize(876, 880));
    EXPECT_GT(RedPixels(thumbnail, QRect(40, 40, 81, 31)), 20) << "the mark of page 1";
    EXPECT_TRUE(AnyDark(thumbnail, QRect(656, 0, 183, 25))) << "the comment";
    EXPECT_FALSE(AnyDark(thumbnail, QRect(652, 30, 224, 300)));
    EXPECT_GT(RedPixels(thumbnail, QRect(0, 420, 876, 40)), 300) << "the address";
    EXPECT_EQ(StoredScore(key), total);
}

TEST_F(CorrectionSave, TwoSavesEachSendOneSummaryRowOfTheirOwn)
{
    const QString key = BoardLecture();
    auto frame = Teacher(Course::TeacherFields(key, true));
    for (const QString& review : {QStringLiteral("첫 저장"), QString(), QStringLiteral("셋째 저장")}) {
        W(*frame).Memo1->setPlainText(review);
        Save(*frame);
        DataSet stored = StoredCorrection(key);
        int summaries = 0;
        for (stored.first(); !stored.eof(); stored.next())
            summaries += !stored.asString(u"p8").isEmpty();
        EXPECT_EQ(summaries, 1) << review.toStdString();
        stored.moveTo(stored.recordCount() - 1);
        EXPECT_EQ(stored.asString(u"M1"), review.isEmpty() ? QString() : review + QStringLiteral("\r\n"));
    }
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty()) << "three saves, no box to answer";
    EXPECT_TRUE(SavedNotice(*frame)) << Notice(*frame).toStdString();
}

TEST_F(CorrectionSave, HandwrittenCorrectionIsSentAsItsPagesWithPage1AsThumbnail)
{
    DataSet essay = Essays::BlankPaper(QStringLiteral("짧은 글"));
    const QString key = Course::PostEssay(essay);
    DataSet correction =
        Essays::HandwrittenCorrection({Essays::Picture({670, 500}, Qt::blue), Essays::Picture({670, 300}, Qt::green)});
    Course::PostCorrection(key, correction);
    auto frame = Teacher(Course::TeacherFields(key, true));
    ASSERT_EQ(frame->Session().ViewMode(), 2);
    W(*frame).cmbList->setCurrentIndex(1);
    frame->cmbListChange(1);

    Save(*frame);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(SavedNotice(*frame)) << Notice(*frame).toStdString();
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 0);
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 2) << "a handwritten correction is its own record";
    EXPECT_EQ(Download(Course::CorrectionUrl(key)), CorrectionRecord::toPacket(frame->Session().cdTeacher));
    const QImage thumbnail = StoredThumbnail(key);
    ASSERT_EQ(thumbnail.size(), QSize(670, 500));
    EXPECT_GT(qBlue(thumbnail.pixel(20, 20)), 200);
    EXPECT_GT(RedPixels(thumbnail, QRect(0, 230, 670, 40)), 300);
}

// A refusal is shown as the server words it, with the review offered for the clipboard;
// the correction stays unsaved, so the closing question's save keeps the window open.
TEST_F(CorrectionSave, RefusalIsShownAndTheCorrectionStaysUnsaved)
{
    const QString key = BoardLecture();
    QStringList fields = Course::TeacherFields(key, true);
    fields[2] = QStringLiteral("wrong password");
    auto frame = Teacher(fields);
    W(*frame).Memo1->setPlainText(QStringLiteral("저장되지 않은 총평"));
    frame->Session().SetModified(true);

    QGuiApplication::clipboard()->clear();
    dialogs->answers = {true};
    Save(*frame);
    const QStringList asked = dialogs->texts(Kind::Question);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("비밀번호"))) << asked[0].toStdString();
    EXPECT_TRUE(asked[0].endsWith(QStringLiteral("복사하시겠습니까?"))) << asked[0].toStdString();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("저장되지 않은 총평")));
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(dialogs->texts(Kind::Error).isEmpty());
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 0);
    EXPECT_THROW(frame->btnClick(frame->btnSave), SilentAbort);
    EXPECT_EQ(dialogs->texts(Kind::Question).size(), 2);
}

// The server out of reach: the transport's error, nothing shown from the server, nothing
// lost; the next save works.
TEST_F(CorrectionSave, FailedPostLosesNothingAndTheNextSaveWorks)
{
    const QString key = BoardLecture();
    auto frame = Teacher(Course::TeacherFields(key, true));
    W(*frame).Memo1->setPlainText(QStringLiteral("보내지 못한 총평"));
    frame->Session().SetModified(true);
    const QString running = ServerUrl();
    SetServerUrl(QStringLiteral("http://127.0.0.1:9"));
    Save(*frame);
    SetServerUrl(running);
    EXPECT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 0);
    DataSet unchanged = StoredCorrection(key);
    EXPECT_EQ(Reviews(unchanged).value(0).second, QStringLiteral("처음 총평\r\n"));

    Save(*frame);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(SavedNotice(*frame)) << Notice(*frame).toStdString();
    EXPECT_FALSE(frame->Session().Modified());
    DataSet saved = StoredCorrection(key);
    EXPECT_EQ(Reviews(saved).value(0).second, QStringLiteral("보내지 못한 총평\r\n"));
}

TEST_F(CorrectionSave, ScoreOutOfRangeRefusesTheSave)
{
    DataSet essay = Essays::Manuscript(21);
    const QString key = Course::PostEssay(essay);
    auto frame = Teacher(Course::TeacherFields(key, false));
    frame->Session().Scores().setEditText(2, 2, QStringLiteral("55"));
    frame->Session().SetModified(true);
    dialogs->boxes.clear();

    Save(*frame);
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList({"초점: 0 부터 50 이하의 값만 들어갈수 있습니다."}));
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_FALSE(HasCorrection(key));

    frame->Session().Scores().setEditText(2, 2, QStringLiteral("50"));
    Save(*frame);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(SavedNotice(*frame)) << Notice(*frame).toStdString();
    EXPECT_TRUE(HasCorrection(key));
}

// Nothing to save: no essay, or a handwritten correction whose pages were all deleted.
TEST_F(CorrectionSave, WithoutPagesThereIsNothingToSendOrPrint)
{
    QStringList fields = Course::TeacherFields(QStringLiteral("NOKEY"), false);
    fields[6].clear();
    auto frame = Teacher(fields);
    dialogs->boxes.clear();
    for (PictureButton* button : {frame->btnSave, W(*frame).Image7, W(*frame).Image2})
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dialogs->texts(Kind::Error),
              QStringList({"답안지가 없어 저장할 수 없습니다.", "답안지가 없어 출력할 수 없습니다.",
                           "답안지가 없어 출력할 수 없습니다."}));
    EXPECT_TRUE(Previews().isEmpty());

    auto handwritten = Loaded(Essays::BlankPaper(QStringLiteral("글")),
                              Essays::HandwrittenCorrection({Essays::Picture({20, 20}, Qt::red)}));
    handwritten->Session().cdTeacher.first();
    handwritten->Session().cdTeacher.deleteRecord();
    handwritten->BuildPageList(2);
    EXPECT_THROW(handwritten->SaveCorrection(), AppError);
}

// Field 8 not "1", and the viewing mode: the save never posts, the correction print works.
TEST_F(CorrectionSave, ReadOnlyAndViewingRunsNeverPost)
{
    const QString key = BoardLecture();
    const QByteArray before = Download(Course::CorrectionUrl(key));
    QStringList readOnly = Course::TeacherFields(key, true);
    readOnly[8] = QStringLiteral("0");
    for (const bool viewing : {false, true}) {
        std::unique_ptr<TfmeTeacher> frame = viewing ? Course::ShownFrame() : Teacher(readOnly);
        if (viewing)
            frame->SetupViewRun(LaunchFields(Course::ViewFields(key)), &title);
        EXPECT_TRUE(frame->Session().ViewOnly());
        EXPECT_FALSE(frame->btnSave->isVisibleTo(frame.get()));
        EXPECT_FALSE(W(*frame).Image7->isVisibleTo(frame.get()));
        EXPECT_TRUE(W(*frame).Image2->isVisibleTo(frame.get()));
        frame->Session().SetModified(true);
        frame->btnClick(frame->btnSave);
        EXPECT_TRUE(dialogs->boxes.isEmpty());
        EXPECT_EQ(frame->Session().ReportPoint(), QStringLiteral("85"));
        QTest::mouseClick(W(*frame).Image2, Qt::LeftButton);
        EXPECT_EQ(Previews().size(), 1);
        TearDown();
    }
    EXPECT_EQ(Download(Course::CorrectionUrl(key)), before);
}

// Every page stored, shown and copied with its comment; the review as the 680-pixel memo
// breaks it; the board stays on the page the teacher is on; nothing marked as changed.
TEST_F(CorrectionSave, CorrectionPrintOfABoardCorrection)
{
    auto frame = Loaded(Essays::Manuscript(70), BoardCorrection(QString()));
    frame->Session().Scores().setTotal(QStringLiteral("85"));
    QString review;
    for (int i = 0; i < 40; ++i)
        review += QStringLiteral("총평의 %1번째 문장입니다. ").arg(i);
    W(*frame).Memo1->setPlainText(review + QStringLiteral("\n끝."));
    frame->Session().SetModified(false);
    frame->show();
    W(*frame).cmbList->setFocus();
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    ASSERT_EQ(frame->Session().PageIndex(), 1);

    QTest::mouseClick(W(*frame).Image2, Qt::LeftButton);
    ASSERT_EQ(Previews().size(), 1);
    for (TfrmPreview* preview : Previews())
        delete preview;
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 1) << "the board stays on the page the teacher was on";
    EXPECT_EQ(frame->Session().PageIndex(), 1);

    const PreparedReport report = frame->PrepareCorrectionPrint();
    ASSERT_EQ(frame->Session().cdPrint.recordCount(), 3);
    frame->Session().cdPrint.first();
    // The page and its marks drawn at three times the board's size, for the printer.
    const QImage page1 = QImage::fromData(frame->Session().cdPrint.asBytes(u"LImage"));
    EXPECT_EQ(page1.size(), QSize(650, 880) * 3);
    EXPECT_GT(RedPixels(page1, QRect(120, 120, 243, 93)), 180) << "the mark is printed";
    EXPECT_EQ(frame->Session().cdPrint.asString(u"LText"), QStringLiteral("첫 쪽 평\r\n"));
    frame->Session().cdPrint.next();
    EXPECT_TRUE(frame->Session().cdPrint.asString(u"LText").isEmpty());
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 1);
    EXPECT_EQ(frame->Session().PageIndex(), 1);
    EXPECT_FALSE(frame->Session().Modified());

    QStringList lines;
    for (frame->Session().cdPrint2.first(); !frame->Session().cdPrint2.eof(); frame->Session().cdPrint2.next())
        lines << frame->Session().cdPrint2.asString(u"L1");
    EXPECT_GT(lines.size(), 5);
    EXPECT_EQ(lines, ReviewLines(review + QStringLiteral("\r\n끝.\r\n")));
    EXPECT_EQ(lines.last(), QStringLiteral("끝."));

    EXPECT_EQ(frame->Session().Report2GetValue(QStringLiteral("reportpoint")), QStringLiteral("85"));
    EXPECT_EQ(frame->Session().Report2GetValue(QStringLiteral("p2")), QStringLiteral("45"));
    EXPECT_EQ(frame->Session().Report2GetValue(QStringLiteral("p8")), QStringLiteral("0"));
    W(*frame).CheckBox1->click();
    EXPECT_EQ(frame->Session().Report2GetValue(QStringLiteral("p8")), QStringLiteral("-20"));
    for (int p = 0; p < 3; ++p) {
        int pictures = 0;
        for (const ReportItem& item : report.pages[p].items)
            pictures += std::holds_alternative<ReportPicture>(item);
        EXPECT_EQ(pictures, 1) << "a corrected page a sheet";
    }
}

// The buttons by their Tags: 답안출력, 첨삭출력 and the hidden 취소 open previews, which
// save as PDF.
TEST_F(CorrectionSave, PrintButtonsOpenTheirPreviews)
{
    auto frame = Loaded(Essays::Manuscript(21), DataSet(CorrectionRecord::fields()));
    QTest::mouseClick(W(*frame).Image7, Qt::LeftButton);
    QList<TfrmPreview*> open = Previews();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("답안 출력"));
    TearDown();
    QTest::mouseClick(W(*frame).Image2, Qt::LeftButton);
    open = Previews();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("첨삭 출력"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("correction.pdf"));
    open[0]->saveAsPdf(pdf);
    QFile saved(pdf);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.read(5) == "%PDF-");
    // The corrected page prints sharp: no picture in the PDF below 300 dots per inch.
    const QList<QPoint> resolutions = PdfImageResolutions(pdf);
    ASSERT_FALSE(resolutions.isEmpty());
    for (const QPoint& ppi : resolutions) {
        EXPECT_GE(ppi.x(), 300);
        EXPECT_GE(ppi.y(), 300);
    }
    TearDown();
    frame->btnClick(W(*frame).btnCancel);
    EXPECT_EQ(Previews().size(), 1);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}
