#include "Essays.h"

#include "core/AppError.h"
#include "correction/CorrectionSession.h"
#include "correction/ReviewLines.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "support/RecordingDialogs.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The correction session on its own: records given as loaded, no server, no widgets.

namespace {

using Kind = RecordingDialogs::Kind;

// A board correction as a save leaves it: page 1 with two marks and a comment, page 2 with
// one mark, and the summary.
DataSet BoardCorrection(const CorrectionRecord::Summary& summary)
{
    return Essays::BoardCorrection({{1, {Essays::Mark(16, 40), Essays::Mark(1, 200, "좋은 표현")}, "첫 쪽 평\r\n"},
                                    {2, {Essays::Mark(11, 60)}, {}}},
                                   summary);
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

const CorrectionRecord::Summary kSummary{
    QStringLiteral("잘 읽었습니다.\r\n"), {"60", "40", "20", "25", "10", "10", "5"}, false};

}

// A page the essay no longer reaches keeps its marks in reach: it stays listed.
TEST(CorrectionSessionPages, APageWithMarksBelowTheLastLineStaysListed)
{
    CorrectionSession session;
    session.Load(Essays::Manuscript(5), Essays::BoardCorrection({{3, {Essays::Mark(16, 40)}, {}}}, kSummary));
    EXPECT_EQ(session.Pages(), (QStringList{"PAGE1", "PAGE2", "PAGE3"}));
    session.Load(Essays::Manuscript(5), DataSet(CorrectionRecord::fields()));
    EXPECT_EQ(session.Pages(), QStringList{"PAGE1"});
}

TEST(CorrectionSessionLaunch, FieldsOfBothModes)
{
    CorrectionSession teacher;
    teacher.ReadTeacherFields(LaunchFields(
        {"T001", "T1", "pw", "1", "KEY", "S1", "essay", "corr", "0", "제목", "77", "http://127.0.0.1:1/d", "Y"}));
    EXPECT_EQ(teacher.Launch().teacherNo, "T1");
    EXPECT_EQ(teacher.Launch().password, "pw");
    EXPECT_TRUE(teacher.Launch().hasCorrection);
    EXPECT_EQ(teacher.Launch().lectureKey, "KEY");
    EXPECT_EQ(teacher.Launch().studentNo, "S1");
    EXPECT_EQ(teacher.Launch().essayUrl, "essay");
    EXPECT_EQ(teacher.Launch().correctionUrl, "corr");
    EXPECT_FALSE(teacher.Launch().editable);
    EXPECT_EQ(teacher.Launch().title, "제목");
    EXPECT_TRUE(teacher.ViewOnly()) << "a run that may not edit never saves";
    EXPECT_EQ(teacher.ReportPoint(), "77");
    EXPECT_EQ(teacher.Scores().total(), "77");
    EXPECT_EQ(teacher.Launch().discussionUrl, "http://127.0.0.1:1/d");
    EXPECT_TRUE(teacher.Launch().OffersScoreSheet());

    CorrectionSession viewer;
    viewer.ReadViewFields(LaunchFields({"C001", "T1", "", "0", "KEY", "essay", "", "제목", "80"}));
    EXPECT_TRUE(viewer.Launch().studentNo.isEmpty());
    EXPECT_TRUE(viewer.Launch().editable);
    EXPECT_EQ(viewer.Launch().essayUrl, "essay");
    EXPECT_TRUE(viewer.Launch().correctionUrl.isEmpty());
    EXPECT_EQ(viewer.Launch().title, "제목");
    EXPECT_TRUE(viewer.Launch().discussionUrl.isEmpty());
    EXPECT_FALSE(viewer.Launch().OffersScoreSheet());
    EXPECT_FALSE(viewer.ViewOnly()) << "the frame makes a viewing run view-only";
    EXPECT_EQ(viewer.Scores().total(), "80");

    CorrectionSession shortTeacher;
    const LaunchFields tenFields({"T001", "T1", "pw", "0", "K", "S1", "", "", "1", "제목"});
    EXPECT_EQ(ErrorOf([&] { shortTeacher.ReadTeacherFields(tenFields); }), "List index out of bounds (10)");
    EXPECT_TRUE(shortTeacher.Launch().title.isEmpty()) << "a launch cut short gives no value";
    const LaunchFields eightViewFields({"C001", "T1", "", "0", "KEY", "essay", "", "제목"});
    EXPECT_EQ(ErrorOf([&] { viewer.ReadViewFields(eightViewFields); }), "List index out of bounds (8)");
    EXPECT_EQ(viewer.Launch().essayUrl, "essay") << "the launch read before stays whole";
}

TEST(CorrectionSessionPages, BoardPagesAreStoredWhenLeftAndGivenBackWhenShown)
{
    CorrectionSession session;
    int listed = 0;
    QObject::connect(&session, &CorrectionSession::PagesChanged, [&] { ++listed; });
    QString review;
    QObject::connect(&session, &CorrectionSession::ReviewLoaded, [&](const QString& text) { review = text; });
    session.Load(Essays::LongBlankPaper(70), BoardCorrection(kSummary));
    EXPECT_EQ(session.ViewMode(), 1);
    EXPECT_EQ(session.Pages(), (QStringList{"PAGE1", "PAGE2", "PAGE3"}));
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(review, "잘 읽었습니다.\r\n");
    EXPECT_EQ(session.Scores().text(1, 2), "60");
    EXPECT_TRUE(session.cdTeacher.isEmpty()) << "work goes to the working copy";
    EXPECT_EQ(session.PageIndex(), -1);
    EXPECT_FALSE(session.Modified());

    const CorrectionPage& page = session.Page();
    session.TurnPage(0);
    const QList<CorrectionRecord::MarkRow> first = page.marks();
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[1].strings, "좋은 표현");
    EXPECT_EQ(page.comment(), "첫 쪽 평\n") << "as the comment box shows it";
    EXPECT_EQ(page.stored().comment, "첫 쪽 평\r\n");
    EXPECT_EQ(session.PageIndex(), 0);

    session.TurnPage(2);
    EXPECT_TRUE(page.marks().isEmpty());
    session.Page().place(dt16, {100, 40}, {140, 80}, 1);
    session.Page().setComment(QStringLiteral("page three"));
    session.TurnPage(0);
    EXPECT_EQ(page.marks(), first) << "page 1 as it was left";
    session.TurnPage(2);
    ASSERT_EQ(page.marks().size(), 1);
    EXPECT_EQ(page.marks()[0].left, 100);
    EXPECT_EQ(page.comment(), "page three\n");
    EXPECT_EQ(CorrectionRecord::loadPage(session.cdTemp, CorrectionRecord::pageKey(3)).comment, "page three\r\n");
    session.TurnPage(1);
    EXPECT_EQ(page.marks().size(), 1) << "page 2 as loaded";
}

// A stored deduction comes back checked and recomputes; "true" in lower case does not.
TEST(CorrectionSessionPages, SummaryFillsTheSheet)
{
    for (const auto& [p8, checked] : {std::pair{"TRUE", true}, std::pair{"true", false}}) {
        DataSet correction = BoardCorrection({"총평", {"1", "2", "3", "4", "5", "6", "7"}, false});
        correction.moveTo(correction.recordCount() - 1);
        correction.edit();
        correction.setString(u"p8", p8);
        correction.post();
        CorrectionSession session;
        session.ReadViewFields(LaunchFields({"C001", "T1", "", "1", "K", "e", "c", "제목", "85"}));
        session.Load(Essays::BlankPaper("짧은 글"), std::move(correction));
        EXPECT_EQ(session.Scores().deduction(), checked) << p8;
        const QStringList points =
            checked ? QStringList{"5", "2", "3", "18", "5", "6", "7"} : QStringList{"1", "2", "3", "4", "5", "6", "7"};
        EXPECT_EQ(session.Scores().points(), points) << p8;
        EXPECT_EQ(session.Scores().total(), checked ? "3" : "85") << p8;
    }
}

TEST(CorrectionSessionPages, HandwrittenPagesAreAddedAndDeleted)
{
    ScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    CorrectionSession session;
    session.Load(Essays::BlankPaper("글"), Essays::HandwrittenCorrection({Essays::Picture({670, 500}, Qt::blue),
                                                                          Essays::Picture({670, 300}, Qt::green)}));
    EXPECT_EQ(session.ViewMode(), 2);
    EXPECT_EQ(session.Pages(), (QStringList{"PAGE1", "PAGE2"}));
    EXPECT_EQ(session.cdTeacher.recordCount(), 2) << "a handwritten correction is edited in place";
    EXPECT_EQ(session.HandwrittenPicture(1).size(), QSize(670, 300));
    EXPECT_FALSE(session.Modified());

    const QString scan = dir.filePath("scan.jpg");
    QFile file(scan);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Jpeg::encode(Essays::Picture({1340, 1000}, Qt::red)));
    file.close();
    EXPECT_EQ(session.AddHandwrittenPage(scan).size(), QSize(670, 500));
    EXPECT_EQ(session.Pages(), (QStringList{"PAGE1", "PAGE2", "PAGE 3"}));
    session.cdTeacher.moveTo(2);
    EXPECT_EQ(session.cdTeacher.asString(u"ImageType"), ".jpg");
    EXPECT_TRUE(session.Modified());

    session.SetModified(false);
    EXPECT_THROW(session.AddHandwrittenPage(dir.filePath("missing.jpg")), AppError);
    EXPECT_EQ(session.cdTeacher.recordCount(), 3);
    EXPECT_FALSE(session.Modified());

    session.DeleteHandwrittenPage(0);
    EXPECT_EQ(session.Pages(), (QStringList{"PAGE1", "PAGE2"}));
    EXPECT_EQ(session.HandwrittenPicture(0).size(), QSize(670, 300)) << "the former second page";
    EXPECT_TRUE(session.Modified());
    session.DeleteHandwrittenPage(0);
    session.DeleteHandwrittenPage(0);
    EXPECT_TRUE(session.Pages().isEmpty());
    EXPECT_EQ(ErrorOf([&] { session.RequirePages("저장"); }),
              "자필 첨삭 페이지가 없어 저장할 수 없습니다. 페이지를 추가해 주세요.");
}

TEST(CorrectionSessionSave, SubmissionOfABoardCorrection)
{
    CorrectionSession session;
    session.ReadTeacherFields(
        LaunchFields({"T001", "T1", "pw", "1", "KEY", "S1", "e", "c", "1", "제목", "85", "", "Y"}));
    session.Load(Essays::LongBlankPaper(40), BoardCorrection(kSummary));
    session.TurnPage(0);
    session.SetReview(QStringLiteral("새 총평\r\n"));
    session.Scores().setEditText(2, 2, QStringLiteral("40"));
    const int working = session.cdTemp.recordCount();
    QImage thumbnail(30, 20, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);

    for (int save = 0; save < 2; ++save) {
        const TeacherSubmission submission = session.Submission(thumbnail);
        EXPECT_EQ(submission.teacherNo, "T1");
        EXPECT_EQ(submission.lectureKey, "KEY");
        EXPECT_EQ(submission.studentNo, "S1");
        EXPECT_EQ(submission.reportPoint, session.Scores().total());
        EXPECT_EQ(session.ReportPoint(), submission.reportPoint);
        EXPECT_EQ(Jpeg::decode(submission.thumbnail).size(), QSize(30, 20));
        EXPECT_TRUE(session.cdTeacher.isEmpty()) << "the record is built for one submission";
        EXPECT_GE(session.cdTemp.recordCount(), working) << "the working copy stays";
        DataSet sent;
        sent.loadPacket(submission.record);
        int summaries = 0;
        for (sent.first(); !sent.eof(); sent.next())
            summaries += !sent.asString(u"p8").isEmpty();
        EXPECT_EQ(summaries, 1) << "save " << save;
        sent.moveTo(sent.recordCount() - 1);
        EXPECT_EQ(sent.asString(u"M1"), "새 총평\r\n");
        EXPECT_EQ(sent.asString(u"p2"), "40");
    }
}

TEST(CorrectionSessionSave, RulesThatStopASave)
{
    ScopedRecordingDialogs dialogs;
    CorrectionSession empty;
    EXPECT_EQ(ErrorOf([&] { empty.RequirePages("저장"); }), "답안지가 없어 저장할 수 없습니다.");
    EXPECT_EQ(ErrorOf([&] { empty.PrepareAnswerPrint(); }), "답안지가 없어 출력할 수 없습니다.");

    CorrectionSession session;
    session.ReadTeacherFields(LaunchFields({"T001", "T1", "pw", "0", "K", "S1", "e", "", "1", "제목", "", "", "Y"}));
    session.Load(Essays::Manuscript(21), DataSet(CorrectionRecord::fields()));
    QSignalSpy messages(&session.Scores(), &ScoreSheet::message);
    session.Scores().setEditText(2, 2, QStringLiteral("455"));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages[0][0].toString(), "초점: 0 부터 50 이하의 값만 들어갈수 있습니다.");
    EXPECT_EQ(ErrorOf([&] { session.ValidateScores(); }), "초점: 0 부터 50 이하의 값만 들어갈수 있습니다.");
    session.ReadTeacherFields(LaunchFields({"T001", "T1", "pw", "0", "K", "S1", "e", "", "1", "제목", "", "", "N"}));
    EXPECT_EQ(ErrorOf([&] { session.ValidateScores(); }), "") << "a sheet not offered is not checked";
}

TEST(CorrectionSessionPrint, CorrectionPrintOfABoardCorrectionPrintsEveryPageWithThePageShown)
{
    CorrectionSession session;
    session.Load(Essays::Manuscript(70), BoardCorrection(kSummary));
    session.SetReview(QStringLiteral("총평의 첫 문장입니다.\r\n끝.\r\n"));
    session.TurnPage(1);
    session.Page().setComment(QStringLiteral("둘째 쪽 평"));
    const PreparedReport report = session.PrepareCorrectionPrint();
    EXPECT_EQ(session.PageIndex(), 1) << "printing turns no page";
    ASSERT_EQ(session.cdPrint.recordCount(), 3);
    session.cdPrint.first();
    EXPECT_EQ(session.cdPrint.asString(u"LText"), "첫 쪽 평\r\n");
    EXPECT_EQ(QImage::fromData(session.cdPrint.asBytes(u"LImage")).size(), QSize(650, 880) * 3);
    session.cdPrint.next();
    EXPECT_EQ(session.cdPrint.asString(u"LText"), "둘째 쪽 평\r\n") << "the page shown as it stands";
    QStringList lines;
    for (session.cdPrint2.first(); !session.cdPrint2.eof(); session.cdPrint2.next())
        lines << session.cdPrint2.asString(u"L1");
    EXPECT_EQ(lines, ReviewLines(session.Review()));
    EXPECT_GE(report.pageCount(), 3);
    EXPECT_EQ(session.Report2GetValue("p2"), "40");
    EXPECT_EQ(session.Report2GetValue("p8"), "0");
    session.Scores().setDeduction(true);
    EXPECT_EQ(session.Report2GetValue("p8"), "-20");
    EXPECT_FALSE(session.Modified());
}

TEST(CorrectionSessionPrint, AnswerPrintFollowsThePaperKind)
{
    struct Case {
        const char* name;
        DataSet essay;
        int rows;
        bool manuscript;
        int pictures;
    };
    Case cases[] = {
        {"manuscript", Essays::Manuscript(25), 25, true, 0},
        {"kind 0 reads as manuscript", Essays::OfKind(0), 21, true, 0},
        {"blank paper", Essays::BlankPaper(QStringLiteral("하나\r\n둘\r\n셋")), 3, false, 0},
        {"scanned",
         Essays::Scanned({Essays::Picture({60, 80}, Qt::blue), Essays::Picture({60, 80}, Qt::green),
                          Essays::Picture({60, 80}, Qt::red)}),
         3, false, 3},
    };
    for (Case& c : cases) {
        CorrectionSession session;
        session.Load(std::move(c.essay), DataSet(CorrectionRecord::fields()));
        const PreparedReport report = session.PrepareAnswerPrint();
        EXPECT_EQ(session.cdPrint.recordCount(), c.rows) << c.name;
        int pictures = 0;
        int redCells = 0;
        for (const PreparedPage& page : report.pages)
            for (const ReportItem& item : page.items) {
                pictures += std::holds_alternative<ReportPicture>(item);
                if (const auto* fill = std::get_if<ReportFill>(&item); fill && fill->color == QColor(Qt::red))
                    ++redCells;
            }
        EXPECT_EQ(pictures, c.pictures) << c.name;
        EXPECT_EQ(redCells > 0, c.manuscript) << c.name << ": manuscript cells";
        for (const char* name : {"reportpoint", "p1", "p8"})
            EXPECT_EQ(session.ReportGetValue(QString::fromLatin1(name)), QString()) << c.name;
    }
}

TEST(CorrectionSessionPrint, CorrectionPrintOfAHandwrittenCorrection)
{
    CorrectionSession session;
    session.Load(
        Essays::BlankPaper(QStringLiteral("글")),
        Essays::HandwrittenCorrection({Essays::Picture({670, 500}, Qt::blue), Essays::Picture({670, 900}, Qt::green)}));
    session.cdPrint2.append();
    session.cdPrint2.setString(u"L1", QStringLiteral("지난 출력의 줄"));
    session.cdPrint2.post();
    const PreparedReport report = session.PrepareCorrectionPrint();
    EXPECT_EQ(session.cdPrint.recordCount(), 2);
    EXPECT_EQ(session.cdPrint2.recordCount(), 0);
    ASSERT_EQ(report.pageCount(), 3);  // a sheet a page, then the scores
    for (int p = 0; p < 2; ++p) {
        int pictures = 0;
        for (const ReportItem& item : report.pages[p].items) {
            // Only the heading line has text (it ends 16 units below the top margin of 36).
            if (const auto* line = std::get_if<ReportTextLine>(&item)) {
                EXPECT_LT(line->box.bottom(), 52) << line->text.toStdString();
            }
            if (const auto* picture = std::get_if<ReportPicture>(&item)) {
                ++pictures;
                EXPECT_NEAR(picture->rect.width(), 680, 0.5) << "the page fills the sheet's width";
            }
        }
        EXPECT_EQ(pictures, 1);
    }
}
