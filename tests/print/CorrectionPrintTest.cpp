#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "print/AnswerPrint.h"
#include "print/CorrectionPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"
#include "report/ReportEngine.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

const QStringList kCriteria = {"채점기준",    "   내용",     "    1. 초점",
                               "    2. 서평", "   형식",     "    1. 원고지작성법",
                               "    2. 단락", "    3. 호응", "   감점-분량미달"};
// Whose essay, as the heading line shows it.
const PrintVariables::Heading kHeading{QStringLiteral("봄의 소리"), QStringLiteral("S1001"), QStringLiteral("T1001"),
                                       QDate(2024, 3, 5)};
// The heading line takes the first 16 units below the top margin.
constexpr int kBody = 36 + 16;

const QStringList kFullMarks = {"배점", "70점", "(50)", "(20)", "30점", "(10)", "(10)", "(10)", "(-20)"};

QImage Filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QStringList Column(DataSet& data, const char* field)
{
    QStringList values;
    for (data.first(); !data.eof(); data.next())
        values << data.asString(QString::fromLatin1(field));
    return values;
}

DataSet ManuscriptEssay(int kind, int lines)
{
    DataSet essay(EssayRecord::fields());
    essay.append();
    essay.setInteger(u"NType", kind);
    for (int c = 1; c <= 21; ++c) {
        QString column;
        for (int line = 0; line < lines; ++line)
            column += (c == 21 ? QStringLiteral(".") : QString(QChar(0xAC00 + line * 21 + c))) + QStringLiteral("\r\n");
        essay.setString(EssayRecord::lineField(c), column);
    }
    essay.post();
    return essay;
}

DataSet BlankPaperEssay(const QString& text)
{
    DataSet essay(EssayRecord::fields());
    EssayRecord::writeBlankPaper(essay, QStringLiteral("S1001"), text);
    return essay;
}

DataSet ScannedEssay(const QList<QImage>& pages)
{
    DataSet essay(EssayRecord::fields());
    for (const QImage& page : pages) {
        essay.append();
        essay.setInteger(u"NType", EssayRecord::ScannedPages);
        essay.setBytes(u"LImage", Jpeg::encode(page));
        essay.post();
    }
    return essay;
}

// A handwritten correction: one image row per page.
DataSet HandwrittenCorrection(const QList<QByteArray>& pages)
{
    DataSet correction(CorrectionRecord::fields());
    for (const QByteArray& page : pages) {
        correction.append();
        correction.setInteger(u"NType", CorrectionRecord::kImageRow);
        correction.setBytes(u"Image", page);
        correction.setString(u"ImageType", QStringLiteral(".jpg"));
        correction.post();
    }
    return correction;
}

// The answer print as the correction frame prepares it.
struct AnswerPrinted {
    explicit AnswerPrinted(DataSet& essay)
    {
        report = PrintTemplates::load(AnswerPrint::kTemplate);
        kind = AnswerPrint::fill(print, essay);
        AnswerPrint::showBandFor(report, kind);
        prepared =
            PrepareReport(report, {{{QStringLiteral("cdPrint"), &print}, {QStringLiteral("cdPrint2"), &review}},
                                   [](const QString& name) { return PrintVariables::answerValue(name, kHeading); }});
    }
    ReportTemplate report;
    DataSet print{PrintDataSets::correctionPrint()};
    DataSet review{PrintDataSets::reviewPrint()};
    int kind = 0;
    PreparedReport prepared;
};

// The correction print of board pages (picture and comment each) or of a handwritten
// correction, with the review lines and the scores.
struct CorrectionPrinted {
    CorrectionPrinted(const QList<std::pair<QImage, QString>>& pages, const QStringList& lines,
                      const PrintVariables::Scores& scores)
    {
        report = PrintTemplates::load(CorrectionPrint::kTemplate);
        for (const auto& [picture, comment] : pages)
            CorrectionPrint::appendPage(print, picture, comment);
        CorrectionPrint::fillReview(review, lines);
        prepare(scores);
    }
    CorrectionPrinted(DataSet& handwritten, const PrintVariables::Scores& scores)
    {
        report = PrintTemplates::load(CorrectionPrint::kTemplate);
        CorrectionPrint::fitHandwrittenPages(report);
        CorrectionPrint::fillHandwrittenPages(print, handwritten);
        CorrectionPrint::fillReview(review, {});
        prepare(scores);
    }
    void prepare(const PrintVariables::Scores& scores)
    {
        prepared = PrepareReport(report, {{{QStringLiteral("cdPrint"), &print}, {QStringLiteral("cdPrint2"), &review}},
                                          [scores](const QString& name) {
                                              return PrintVariables::correctionValue(name, scores, kHeading);
                                          }});
    }
    ReportTemplate report;
    DataSet print{PrintDataSets::correctionPrint()};
    DataSet review{PrintDataSets::reviewPrint()};
    PreparedReport prepared;
};

QList<ReportTextLine> TextsIn(const PreparedPage& page, const QRectF& area)
{
    QList<ReportTextLine> texts;
    for (const ReportItem& item : page.items)
        if (const auto* line = std::get_if<ReportTextLine>(&item); line && area.contains(line->box.center()))
            texts.append(*line);
    return texts;
}

QStringList Strings(const QList<ReportTextLine>& lines)
{
    QStringList strings;
    for (const ReportTextLine& line : lines)
        strings << line.text;
    return strings;
}

// True when every pixel of the vertical line at x from y0 to y1 is the colour.
bool VerticalLine(const QImage& page, int x, int y0, int y1, QRgb colour = kBlack)
{
    for (int y = y0; y <= y1; ++y)
        if (page.pixel(x, y) != colour)
            return false;
    return true;
}

bool HorizontalLine(const QImage& page, int y, int x0, int x1, QRgb colour = kBlack)
{
    for (int x = x0; x <= x1; ++x)
        if (page.pixel(x, y) != colour)
            return false;
    return true;
}

// The scoring table at (left, top) with columns of the widths: its lines row by row.
void ExpectScoringTableLines(const QImage& page, int left, int top, const std::array<int, 3>& widths)
{
    const int x1 = left + widths[0], x2 = x1 + widths[1], x3 = x2 + widths[2];
    for (int x : {left, x1, x2, x3})
        EXPECT_TRUE(VerticalLine(page, x, top, top + 180)) << "column line at " << x;
    // Ruled: the header's top and bottom, the tops of the groups, the bottoms of the
    // groups and of the deduction row.
    for (int row : {0, 1, 4, 8, 9})
        EXPECT_TRUE(HorizontalLine(page, top + 20 * row, left, x3)) << "rule above row " << row;
    // Within a group the rows are not ruled.
    for (int row : {2, 3, 5, 6, 7})
        EXPECT_EQ(page.pixel(left + 5, top + 20 * row), kWhite) << "rule above row " << row;
}

}

TEST(AnswerPrintData, EachPaperKindFillsItsRowsAndShowsOnlyItsBand)
{
    struct Case {
        const char* name;
        DataSet essay;
        int kind;
        int rows;
    };
    Case cases[] = {
        {"manuscript stored as kind 0", ManuscriptEssay(0, 3), 1, 21},
        {"manuscript", ManuscriptEssay(1, 25), 1, 25},
        {"blank paper", BlankPaperEssay(QStringLiteral("첫째 줄\r\n\r\n셋째 줄이 아주 길게 이어져도 한 줄입니다")), 2,
         3},
        {"scanned", ScannedEssay({Filled({40, 60}, Qt::blue), Filled({50, 30}, Qt::green), Filled({20, 20}, Qt::red)}),
         3, 3},
    };
    for (Case& c : cases) {
        AnswerPrinted printed(c.essay);
        EXPECT_EQ(printed.kind, c.kind) << c.name;
        EXPECT_EQ(printed.print.recordCount(), c.rows) << c.name;
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(printed.report.findBand(0, QStringLiteral("MasterData%1").arg(n))->visible, n == c.kind)
                << c.name << " band " << n;
        EXPECT_EQ(Column(printed.print, "LC"), QStringList(c.rows, QString())) << c.name;
        EXPECT_EQ(Column(printed.print, "PAGE"), QStringList(c.rows, QString())) << c.name;
        EXPECT_GE(printed.prepared.pageCount(), 1) << c.name;
    }
}

TEST(AnswerPrintData, ManuscriptRowsHoldTheCellsOfEachLine)
{
    DataSet essay = ManuscriptEssay(1, 22);
    DataSet print(PrintDataSets::correctionPrint());
    AnswerPrint::fill(print, essay);
    EXPECT_EQ(Column(print, "L1").first(), QString(QChar(0xAC00 + 1)));
    EXPECT_EQ(Column(print, "L20")[21], QString(QChar(0xAC00 + 21 * 21 + 20)));
    EXPECT_EQ(Column(print, "L21"), QStringList(22, QStringLiteral(".")));
}

TEST(AnswerPrintData, ScannedPagesBecomeBitmapsAndAnUnknownKindIsRefused)
{
    DataSet scanned =
        ScannedEssay({Filled({40, 60}, Qt::blue), Filled({50, 30}, Qt::green), Filled({20, 20}, Qt::red)});
    DataSet print(PrintDataSets::correctionPrint());
    AnswerPrint::fill(print, scanned);
    const QList<QSize> sizes = {{40, 60}, {50, 30}, {20, 20}};
    int i = 0;
    for (print.first(); !print.eof(); print.next(), ++i) {
        const QByteArray bytes = print.asBytes(u"LImage");
        EXPECT_TRUE(bytes.startsWith("BM"));
        EXPECT_EQ(QImage::fromData(bytes).size(), sizes[i]);
    }

    DataSet strange = ManuscriptEssay(7, 1);
    try {
        AnswerPrint::fill(print, strange);
        FAIL() << "kind 7 printed";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("답안지의 종류(7)를 알 수 없어 답안을 출력할 수 없습니다."));
    }
}

TEST(PrintVariablesTest, AnswerPrintIsEmptyAndCorrectionPrintShowsTheSheet)
{
    const PrintVariables::Scores scores{QStringLiteral("67"), {"45", "40", "5", "22", "8", "7", "7"}, false};
    PrintVariables::Scores deducted = scores;
    deducted.deduction = true;
    const struct {
        const char* name;
        const char* answer;
        const char* correction;
        const char* deducted;
    } cases[] = {
        {"reportpoint", "", "67", "67"}, {"p1", "", "45", "45"}, {"p2", "", "40", "40"},
        {"p4", "", "22", "22"},          {"p7", "", "7", "7"},   {"p8", "", "0", "-20"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(PrintVariables::answerValue(name, kHeading), QString::fromUtf8(c.answer)) << c.name;
        EXPECT_EQ(PrintVariables::correctionValue(name, scores, kHeading), QString::fromUtf8(c.correction)) << c.name;
        EXPECT_EQ(PrintVariables::correctionValue(name, deducted, kHeading), QString::fromUtf8(c.deducted)) << c.name;
    }
    // An empty sheet prints empty cells.
    EXPECT_EQ(PrintVariables::correctionValue(QStringLiteral("p3"), {}, kHeading), QString());
    // The heading: whose essay, who corrected it (not on the answer print), and when.
    EXPECT_EQ(PrintVariables::answerValue(QStringLiteral("title"), kHeading), QStringLiteral("봄의 소리"));
    EXPECT_EQ(PrintVariables::answerValue(QStringLiteral("studentno"), kHeading), QStringLiteral("S1001"));
    EXPECT_EQ(PrintVariables::correctionValue(QStringLiteral("teacherno"), scores, kHeading), QStringLiteral("T1001"));
    EXPECT_EQ(PrintVariables::correctionValue(QStringLiteral("date"), scores, kHeading), QStringLiteral("2024-03-05"));
    EXPECT_EQ(PrintVariables::essayValue(QStringLiteral("date"), kHeading), QStringLiteral("2024-03-05"));
    EXPECT_THROW(PrintVariables::essayValue(QStringLiteral("p1"), kHeading), AppError);
    // Names are compared with case; others are a fault of the template.
    for (const char* name : {"P1", "ReportPoint", "p9", "p0", "p10", "page"}) {
        EXPECT_THROW(PrintVariables::answerValue(QString::fromLatin1(name), kHeading), AppError) << name;
        EXPECT_THROW(PrintVariables::correctionValue(QString::fromLatin1(name), scores, kHeading), AppError) << name;
    }
}

TEST(AnswerPrintPage, ManuscriptLinesWithTheCorrectionColumnAsOneTallBox)
{
    DataSet essay = ManuscriptEssay(1, 25);
    AnswerPrinted printed(essay);
    ASSERT_EQ(printed.prepared.pageCount(), 2);  // the summary does not fit below 25 lines
    const QImage page = printed.prepared.renderPage(0, 1.0);
    // The column header's rule closes the correction column at the top.
    EXPECT_TRUE(HorizontalLine(page, kBody + 12, 576, 732));
    for (int line : {0, 12, 24}) {
        const int top = kBody + 12 + 32 * line;
        for (int n = 1; n <= 21; ++n)  // the left edges of cells 1 to 20 and the right edge of 20
            EXPECT_EQ(page.pixel(28 + 26 * (n - 1), top + 4 + 12), kRed) << "line " << line << " cell " << n;
        EXPECT_EQ(page.pixel(40, top + 4), kRed);
        EXPECT_EQ(page.pixel(40, top + 28), kRed);
        EXPECT_EQ(page.pixel(560, top + 4), kWhite);  // the margin cell is not framed
        // The correction column: its left and right lines on every row, nothing inside.
        EXPECT_TRUE(VerticalLine(page, 576, top, top + 31)) << line;
        EXPECT_TRUE(VerticalLine(page, 732, top, top + 31)) << line;
        EXPECT_EQ(page.pixel(600, top + 16), kWhite);
    }
    // The footer's rule closes it below the last line.
    EXPECT_TRUE(HorizontalLine(page, kBody + 12 + 25 * 32, 576, 732));
    EXPECT_EQ(page.pixel(576, kBody + 12 + 25 * 32 + 4), kWhite);
    EXPECT_TRUE(TextsIn(printed.prepared.pages[0], QRectF(576, kBody, 160, 1071)).isEmpty());
}

TEST(AnswerPrintPage, SummaryBoxesAndAScoringTableWithEmptyScores)
{
    DataSet essay = BlankPaperEssay(QStringLiteral("첫째 줄\r\n둘째 줄\r\n셋째 줄"));
    AnswerPrinted printed(essay);
    ASSERT_EQ(printed.prepared.pageCount(), 1);
    const PreparedPage& prepared = printed.prepared.pages[0];
    const QImage page = printed.prepared.renderPage(0, 1.0);
    // Three text lines of 20, the column closed by the footer (8 high).
    const int text = kBody + 12, footer = text + 60;
    EXPECT_EQ(Strings(TextsIn(prepared, QRectF(28, text, 548, 60))), QStringList({"첫째 줄", "둘째 줄", "셋째 줄"}));
    EXPECT_TRUE(VerticalLine(page, 576, text, footer));
    EXPECT_TRUE(VerticalLine(page, 732, text, footer));
    EXPECT_TRUE(HorizontalLine(page, footer, 576, 732));
    // The review box and the total box, empty.
    const int summary = footer + 8;
    EXPECT_TRUE(VerticalLine(page, 28, summary, summary + 164));
    EXPECT_TRUE(HorizontalLine(page, summary, 28, 576));
    EXPECT_TRUE(HorizontalLine(page, summary + 164, 28, 576));
    EXPECT_TRUE(VerticalLine(page, 576, summary, summary + 164));
    EXPECT_TRUE(VerticalLine(page, 732, summary, summary + 164));
    EXPECT_TRUE(HorizontalLine(page, summary, 576, 732));
    EXPECT_TRUE(TextsIn(prepared, QRectF(28, summary, 704, 164)).isEmpty());
    // The scoring table below them, as wide as the boxes above: from 28 to 732.
    const int table = summary + 164;
    ExpectScoringTableLines(page, 28, table, {512, 96, 96});
    EXPECT_EQ(page.pixel(733, table + 10), kWhite);
    EXPECT_EQ(Strings(TextsIn(prepared, QRectF(28, table, 512, 180))), kCriteria);
    EXPECT_EQ(Strings(TextsIn(prepared, QRectF(540, table, 96, 180))), kFullMarks);
    EXPECT_EQ(Strings(TextsIn(prepared, QRectF(636, table, 96, 180))), QStringList({"점수"}));
    // Header centred both ways, criteria at the top left of their cells.
    const QList<ReportTextLine> criteria = TextsIn(prepared, QRectF(28, table, 512, 180));
    EXPECT_NEAR(criteria[0].box.center().x(), 28 + 256, 1);
    EXPECT_NEAR(criteria[0].box.center().y(), table + 10, 1);
    EXPECT_NEAR(criteria[1].box.left(), 30, 0.5);
    EXPECT_NEAR(criteria[1].box.top(), table + 21, 0.5);
}

TEST(AnswerPrintPage, ScannedPagesAreFramedPicturesBesideTheColumn)
{
    DataSet essay = ScannedEssay({Filled({100, 400}, Qt::blue), Filled({100, 400}, Qt::green)});
    AnswerPrinted printed(essay);
    ASSERT_EQ(printed.prepared.pageCount(), 3);  // one picture a sheet, then the summary
    const QImage page = printed.prepared.renderPage(0, 1.0);
    // Picture1 framed at (28, 64), 548 x 740; the picture fitted: 185 x 740.
    const int top = kBody + 12;
    EXPECT_TRUE(HorizontalLine(page, top, 28, 576));
    EXPECT_TRUE(HorizontalLine(page, top + 740, 28, 576));
    EXPECT_TRUE(Near(page.pixel(30, top + 2), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(28 + 183, top + 735), qRgb(0, 0, 255)));
    EXPECT_EQ(page.pixel(28 + 190, 400), kWhite);
    EXPECT_TRUE(VerticalLine(page, 732, top, top + 740));
    EXPECT_TRUE(HorizontalLine(page, top + 740, 576, 732));  // the footer's rule
}

TEST(CorrectionPrintPage, PagesWithCommentsThenTheReviewInOneBoxThenScoresAndTotal)
{
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("총평 %1째 줄").arg(i);
    const PrintVariables::Scores scores{QStringLiteral("87"), {"60", "45", "15", "27", "9", "9", "9"}, false};
    CorrectionPrinted printed({{Filled({650, 880}, Qt::blue), QStringLiteral("첫 페이지 평\r\n둘째 줄")}}, lines,
                              scores);
    ASSERT_EQ(printed.prepared.pageCount(), 2);
    const PreparedPage& first = printed.prepared.pages[0];
    const QImage page = printed.prepared.renderPage(0, 1.0);

    // The corrected page framed at (36, 60), 464 x 792, fitted: 464 x 628 from its corner.
    const int top = kBody + 8, bottom = top + 792;
    EXPECT_TRUE(HorizontalLine(page, top, 36, 720));  // the header's rule and the frames' tops
    EXPECT_TRUE(VerticalLine(page, 36, top, bottom));
    EXPECT_TRUE(VerticalLine(page, 500, top, bottom));
    EXPECT_TRUE(VerticalLine(page, 720, top, bottom));
    EXPECT_TRUE(Near(page.pixel(38, top + 2), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(497, top + 625), qRgb(0, 0, 255)));
    EXPECT_EQ(page.pixel(300, top + 640), kWhite);
    // Its comment beside it, top left, 6 units inside the frame.
    const QList<ReportTextLine> comment = TextsIn(first, QRectF(500, top, 220, 792));
    ASSERT_EQ(Strings(comment), QStringList({"첫 페이지 평", "둘째 줄"}));
    EXPECT_NEAR(comment[0].box.left(), 506, 0.5);
    EXPECT_NEAR(comment[0].box.top(), top + 6, 0.5);

    // Nine review lines fit below the page, 4 units inside the box's lines; the box runs
    // on to the next sheet.
    const QList<ReportTextLine> review = TextsIn(first, QRectF(36, bottom, 684, 200));
    EXPECT_EQ(Strings(review), lines.mid(0, 9));
    EXPECT_NEAR(review[0].box.left(), 40, 0.5);
    EXPECT_NEAR(review[0].box.top(), bottom + 4, 0.5);
    EXPECT_TRUE(VerticalLine(page, 36, bottom, bottom + 180));
    EXPECT_TRUE(VerticalLine(page, 720, bottom, bottom + 180));
    EXPECT_TRUE(HorizontalLine(page, bottom + 180, 36, 720));
    const QImage second = printed.prepared.renderPage(1, 1.0);
    EXPECT_TRUE(HorizontalLine(second, top, 36, 720));
    EXPECT_EQ(Strings(TextsIn(printed.prepared.pages[1], QRectF(36, top, 684, 60))), lines.mid(9));
    EXPECT_TRUE(VerticalLine(second, 36, top, top + 60));
    EXPECT_TRUE(VerticalLine(second, 720, top, top + 60));
    EXPECT_TRUE(HorizontalLine(second, top + 60, 36, 720));
    EXPECT_EQ(second.pixel(36, top + 61), kWhite);

    // The scoring table after the footer, with the scores and the total box beside it.
    const int table = top + 62;
    ExpectScoringTableLines(second, 36, table, {352, 96, 96});
    const PreparedPage& last = printed.prepared.pages[1];
    EXPECT_EQ(Strings(TextsIn(last, QRectF(36, table, 352, 180))), kCriteria);
    EXPECT_EQ(Strings(TextsIn(last, QRectF(388, table, 96, 180))), kFullMarks);
    EXPECT_EQ(Strings(TextsIn(last, QRectF(484, table, 96, 180))),
              QStringList({"점수", "60", "45", "15", "27", "9", "9", "9", "0"}));
    EXPECT_TRUE(VerticalLine(second, 720, table, table + 180));
    EXPECT_TRUE(HorizontalLine(second, table, 580, 720));
    EXPECT_TRUE(HorizontalLine(second, table + 180, 580, 720));
    const QList<ReportTextLine> total = TextsIn(last, QRectF(580, table, 140, 180));
    ASSERT_EQ(Strings(total), QStringList({"87"}));
    EXPECT_EQ(total[0].font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(total[0].font.pixelSize(), 92);  // 72 points in layout units
    EXPECT_NEAR(total[0].box.center().x(), 650, 1);
    EXPECT_NEAR(total[0].box.center().y(), table + 90, 1);
}

// Every sheet opens with the heading line: title at the left, whose essay and who corrected
// it with the total in the middle, the date and the sheet's number at the right, ruled below.
TEST(CorrectionPrintPage, EverySheetCarriesTheHeadingLine)
{
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("총평 %1째 줄").arg(i);
    CorrectionPrinted printed({{Filled({650, 880}, Qt::white), QString()}}, lines,
                              {QStringLiteral("87"), {"60", "45", "15", "27", "9", "9", "9"}, false});
    ASSERT_EQ(printed.prepared.pageCount(), 2);
    for (int p = 0; p < 2; ++p) {
        const QList<ReportTextLine> heading = TextsIn(printed.prepared.pages[p], QRectF(36, 36, 684, 15));
        ASSERT_EQ(Strings(heading), QStringList({"봄의 소리", "학번 S1001   첨삭 T1001   총점 87",
                                                 QStringLiteral("2024-03-05   %1 / 2").arg(p + 1)}))
            << "sheet " << p + 1;
        EXPECT_NEAR(heading[0].box.left(), 38, 0.5);
        EXPECT_NEAR(heading[1].box.center().x(), 36 + 260 + 127, 1);
        EXPECT_NEAR(heading[2].box.right(), 718, 0.5);
        EXPECT_TRUE(HorizontalLine(printed.prepared.renderPage(p, 1.0), 51, 36, 720)) << "sheet " << p + 1;
    }
}

TEST(CorrectionPrintPage, DeductionPrintsMinusTwenty)
{
    const PrintVariables::Scores scores{QStringLiteral("40"), {"60", "45", "15", "0", "", "", ""}, true};
    CorrectionPrinted printed({{Filled({650, 880}, Qt::white), QString()}}, {}, scores);
    ASSERT_EQ(printed.prepared.pageCount(), 1);
    EXPECT_EQ(Strings(TextsIn(printed.prepared.pages[0], QRectF(484, kBody, 96, 1071))),
              QStringList({"점수", "60", "45", "15", "0", "-20"}));
}

TEST(CorrectionPrintPage, HandwrittenPagesFillASheetEachWithoutComments)
{
    DataSet correction = HandwrittenCorrection(
        {Jpeg::encode(Filled({670, 900}, Qt::blue)), Jpeg::encode(Filled({670, 500}, Qt::green))});
    CorrectionPrinted printed(correction, {QStringLiteral("77"), {}, false});
    EXPECT_EQ(printed.print.recordCount(), 2);
    ASSERT_EQ(printed.prepared.pageCount(), 3);  // a page a sheet, then the scores
    const QImage first = printed.prepared.renderPage(0, 1.0);
    // The picture 680 x 952 at (36, 60), below the heading: 670 x 900 grows to 680 x 913.
    const int top = kBody + 8;
    EXPECT_TRUE(VerticalLine(first, 36, top, top + 952));
    EXPECT_TRUE(VerticalLine(first, 36 + 680, top, top + 952));
    EXPECT_TRUE(HorizontalLine(first, top + 952, 36, 716));
    EXPECT_TRUE(Near(first.pixel(36 + 676, top + 909), qRgb(0, 0, 255)));
    EXPECT_EQ(first.pixel(720, 300), kWhite);      // no comment box
    EXPECT_EQ(first.pixel(400, top - 1), kWhite);  // no header rule
    for (int p = 0; p < 2; ++p)
        EXPECT_TRUE(TextsIn(printed.prepared.pages[p], QRectF(0, kBody, 758, 1071)).isEmpty());
    const QImage second = printed.prepared.renderPage(1, 1.0);
    EXPECT_TRUE(Near(second.pixel(40, top + 6), qRgb(0, 255, 0)));
    EXPECT_EQ(Strings(TextsIn(printed.prepared.pages[2], QRectF(580, kBody, 140, 1071))), QStringList({"77"}));
}

TEST(CorrectionPrintData, AHandwrittenPageThatIsNotJpegFailsWithTheDecodersError)
{
    DataSet correction = HandwrittenCorrection({Jpeg::encode(Filled({10, 10}, Qt::blue)), QByteArray("BM not a jpeg")});
    DataSet print(PrintDataSets::correctionPrint());
    try {
        CorrectionPrint::fillHandwrittenPages(print, correction);
        FAIL() << "a page that is not JPEG was printed";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("JPEG 그림을 읽을 수 없습니다")))
            << error.message().toStdString();
    }
}
