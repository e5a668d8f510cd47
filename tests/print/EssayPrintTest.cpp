#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "jpeg/Jpeg.h"
#include "print/EssayPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"
#include "report/ReportEngine.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
// The heading line takes the first 16 units below the top margin.
constexpr int kBody = 36 + 16;

QStringList column(DataSet& data, const char* field)
{
    QStringList values;
    for (data.first(); !data.eof(); data.next())
        values << data.asString(QString::fromLatin1(field));
    return values;
}

DataSet scannedEssay(const QList<QImage>& pages)
{
    DataSet essay(EssayRecord::fields());
    for (const QImage& page : pages) {
        essay.append();
        essay.setInteger(u"NType", EssayRecord::ScannedPages);
        essay.setBytes(u"LImage", page.isNull() ? QByteArray("GIF89a not a jpeg") : Jpeg::encode(page));
        essay.post();
    }
    return essay;
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The essay print of the kind, prepared from the filled dataset.
PreparedReport essayPrint(DataSet& print, int kind)
{
    ReportTemplate report = PrintTemplates::load(PrintTemplates::kEssayPrint);
    EssayPrint::showBandFor(report, kind);
    const PrintVariables::Heading heading{QStringLiteral("봄의 소리"), QStringLiteral("S1001"), {}, QDate(2024, 3, 5)};
    return PrepareReport(report, {{{QStringLiteral("cdPrint"), &print}}, [heading](const QString& name) {
                                      return PrintVariables::essayValue(name, heading);
                                  }});
}

bool darkIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

}

TEST(EssayPrintTemplate, ShowsExactlyTheBandOfThePaperKind)
{
    ReportTemplate report = PrintTemplates::load(PrintTemplates::kEssayPrint);
    ASSERT_EQ(report.pages.size(), 1);
    EXPECT_EQ(report.pages[0].margins, QMarginsF(36, 36, 36, 36));
    for (int kind = 1; kind <= 3; ++kind) {
        EssayPrint::showBandFor(report, kind);
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(report.findBand(0, QStringLiteral("MasterData%1").arg(n))->visible, n == kind) << kind;
    }
    EXPECT_NE(report.findObject(0, u"Memo2"), nullptr);  // the margin cell, L21
    EXPECT_EQ(report.findObject(0, u"Memo23")->text, QStringLiteral("[cdPrint.\"L20\"]"));
}

TEST(EssayPrint, ManuscriptGivesOneRowPerGridLineBlankLinesIncluded)
{
    ManuscriptGrid grid(23);
    grid.setCell(0, 1, QStringLiteral("우"));
    grid.setCell(0, 20, QStringLiteral("다"));
    grid.setCell(0, 21, QStringLiteral("."));
    grid.setCell(22, 2, QStringLiteral("끝"));
    DataSet print(PrintDataSets::essayPrint());
    print.append();
    print.setString(u"LText", QStringLiteral("left over from the last print"));
    print.post();
    EssayPrint::fillManuscript(print, grid);
    ASSERT_EQ(print.recordCount(), 23);
    const QStringList first = column(print, "L1");
    EXPECT_EQ(first.first(), QStringLiteral("우"));
    EXPECT_EQ(column(print, "L20").first(), QStringLiteral("다"));
    EXPECT_EQ(column(print, "L21").first(), QStringLiteral("."));
    EXPECT_EQ(column(print, "L2").last(), QStringLiteral("끝"));
    EXPECT_TRUE(column(print, "L5")[10].trimmed().isEmpty());
    EXPECT_EQ(column(print, "LText"), QStringList(23, QString()));
}

TEST(EssayPrint, BlankPaperGivesOneRowPerTypedLine)
{
    DataSet print(PrintDataSets::essayPrint());
    const QString longLine = QString(300, QChar(u'가'));
    EssayPrint::fillBlankPaper(print, QStringLiteral("첫째 줄\r\n") + longLine + QStringLiteral("\r\n셋째 줄\r\n"));
    EXPECT_EQ(column(print, "LText"), QStringList({"첫째 줄", longLine, "셋째 줄"}));
    EssayPrint::fillBlankPaper(print, QString());
    EXPECT_EQ(print.recordCount(), 0);
}

TEST(EssayPrint, ScannedPagesAreDecodedInRecordOrder)
{
    DataSet essay = scannedEssay({filled(40, 60, Qt::blue), filled(50, 30, Qt::green)});
    DataSet print(PrintDataSets::essayPrint());
    EssayPrint::fillScannedPages(print, essay);
    ASSERT_EQ(print.recordCount(), 2);
    print.first();
    const QImage first = QImage::fromData(print.asBytes(u"LImage"));
    print.next();
    const QImage second = QImage::fromData(print.asBytes(u"LImage"));
    EXPECT_EQ(first.size(), QSize(40, 60));
    EXPECT_TRUE(near(first.pixel(20, 30), qRgb(0, 0, 255)));
    EXPECT_EQ(second.size(), QSize(50, 30));
    EXPECT_TRUE(near(second.pixel(25, 15), qRgb(0, 255, 0)));
}

TEST(EssayPrint, APageThatIsNotJpegFailsWithTheDecodersError)
{
    DataSet essay = scannedEssay({filled(40, 60, Qt::blue), QImage()});
    DataSet print(PrintDataSets::essayPrint());
    try {
        EssayPrint::fillScannedPages(print, essay);
        FAIL() << "a GIF page was printed";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("JPEG 그림을 읽을 수 없습니다")))
            << error.message().toStdString();
    }
}

TEST(EssayPrintPage, ManuscriptLinesAreRowsOfRedCellsWithAnUnframedMarginCell)
{
    ManuscriptGrid grid(100);
    grid.setCell(0, 1, QStringLiteral("가"));
    grid.setCell(0, 21, QStringLiteral("."));
    DataSet print(PrintDataSets::essayPrint());
    EssayPrint::fillManuscript(print, grid);
    const PreparedReport prepared = essayPrint(print, 1);
    ASSERT_EQ(prepared.pageCount(), 5);  // 24 lines of 40 units to a sheet
    const QImage page = prepared.renderPage(0, 1.0);
    for (int line : {0, 1, 23}) {
        const int top = kBody + 40 * line + 4;  // band top plus the cells' y
        for (int n = 1; n <= 21; ++n)           // the left edges of cells 1 to 20, the right of 20
            EXPECT_EQ(page.pixel(72 + 30 * (n - 1), top + 14), kRed) << "line " << line << " x " << n;
        EXPECT_EQ(page.pixel(87, top), kRed);          // top of cell 1
        EXPECT_EQ(page.pixel(87, top + 28), kRed);     // bottom of cell 1
        EXPECT_EQ(page.pixel(687, top), kWhite);       // the margin cell has no top line,
        EXPECT_EQ(page.pixel(687, top + 28), kWhite);  // no bottom line
        EXPECT_EQ(page.pixel(702, top + 14), kWhite);  // and no right line
    }
    EXPECT_EQ(page.pixel(87, kBody + 40 * 24 + 4 + 14), kWhite);  // nothing below the 24th line
    EXPECT_TRUE(darkIn(page, QRect(73, kBody + 5, 28, 27)));      // "가" in cell 1
    EXPECT_TRUE(darkIn(page, QRect(673, kBody + 5, 28, 27)));     // "." in the margin cell
    EXPECT_FALSE(darkIn(page, QRect(103, kBody + 5, 28, 27)));    // cell 2 is blank
    // The heading line of every sheet: title, student, date and "n / m".
    for (int p : {0, 4}) {
        QStringList heading;
        for (const ReportItem& item : prepared.pages[p].items)
            if (const auto* text = std::get_if<ReportTextLine>(&item); text && text->box.bottom() < kBody)
                heading << text->text;
        EXPECT_EQ(heading, QStringList({"봄의 소리", "학번 S1001", QStringLiteral("2024-03-05   %1 / 5").arg(p + 1)}));
    }
}

// The bounding box of the black ink in an area of a page (frame lines are red, so left out).
static QRect inkIn(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) < 128 && qGreen(pixel) < 128 && qBlue(pixel) < 128)
                ink |= QRect(x, y, 1, 1);
        }
    return ink;
}

// Every glyph sits in the middle of its cell, the same room on its left in every cell.
TEST(EssayPrintPage, EveryGlyphHasTheSameRoomInItsCell)
{
    ManuscriptGrid grid(1);
    for (int column = 1; column <= 21; ++column)
        grid.setCell(0, column, QStringLiteral("한"));
    DataSet print(PrintDataSets::essayPrint());
    EssayPrint::fillManuscript(print, grid);
    const PreparedReport prepared = essayPrint(print, 1);
    constexpr int scale = 4;
    const QImage page = prepared.renderPage(0, scale);
    const int top = (kBody + 4) * scale;
    int firstLeft = -1;
    for (int n = 1; n <= 21; ++n) {
        const int left = (72 + 30 * (n - 1)) * scale;
        const QRect cell(left + scale, top + scale, 29 * scale, 27 * scale);  // inside the lines
        const QRect ink = inkIn(page, cell);
        ASSERT_FALSE(ink.isEmpty()) << "cell " << n;
        const int roomLeft = ink.left() - cell.left(), roomRight = cell.right() - ink.right();
        const int roomTop = ink.top() - cell.top(), roomBottom = cell.bottom() - ink.bottom();
        EXPECT_GE(std::min({roomLeft, roomRight, roomTop, roomBottom}), 2 * scale) << "cell " << n;
        EXPECT_NEAR(roomLeft, roomRight, scale) << "cell " << n;
        if (firstLeft < 0)
            firstLeft = roomLeft;
        EXPECT_NEAR(roomLeft, firstLeft, 1) << "cell " << n;
    }
}

TEST(EssayPrintPage, BlankPaperPrintsOnlyItsTextLines)
{
    DataSet print(PrintDataSets::essayPrint());
    QStringList words;
    for (int i = 0; i < 80; ++i)
        words << QStringLiteral("낱말%1").arg(i);
    EssayPrint::fillBlankPaper(print, QStringLiteral("첫 줄\r\n") + words.join(u' ') + QStringLiteral("\r\n끝 줄"));
    const PreparedReport prepared = essayPrint(print, 2);
    ASSERT_EQ(prepared.pageCount(), 1);
    QStringList texts;
    for (const ReportItem& item : prepared.pages[0].items) {
        if (std::holds_alternative<ReportFill>(item) && std::get<ReportFill>(item).rect.top() < kBody)
            continue;                                               // the heading's rule
        ASSERT_TRUE(std::holds_alternative<ReportTextLine>(item));  // no cells, no pictures
        const ReportTextLine& line = std::get<ReportTextLine>(item);
        if (line.box.bottom() < kBody)
            continue;  // the heading
        EXPECT_GE(line.box.left(), 36);
        EXPECT_LE(line.box.right(), 36 + 680);
        texts << line.text;
    }
    ASSERT_GT(texts.size(), 3);  // the long line wraps
    EXPECT_EQ(texts.first(), QStringLiteral("첫 줄"));
    EXPECT_EQ(texts.mid(1, texts.size() - 2).join(u' '), words.join(u' '));
    EXPECT_EQ(texts.last(), QStringLiteral("끝 줄"));
}

TEST(EssayPrintPage, ScannedPagesAreFittedPicturesAnchoredTopLeftOnePerSheet)
{
    DataSet essay = scannedEssay({filled(100, 400, Qt::blue), filled(400, 100, Qt::green)});
    DataSet print(PrintDataSets::essayPrint());
    EssayPrint::fillScannedPages(print, essay);
    const PreparedReport prepared = essayPrint(print, 3);
    ASSERT_EQ(prepared.pageCount(), 2);
    // The tall page: 904 high, 226 wide, from (36, 60).
    const int top = kBody + 8;
    const QImage tall = prepared.renderPage(0, 1.0);
    EXPECT_TRUE(near(tall.pixel(38, top + 2), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(tall.pixel(36 + 224, top + 902), qRgb(0, 0, 255)));
    EXPECT_EQ(tall.pixel(36 + 230, 400), kWhite);
    EXPECT_EQ(tall.pixel(38, top - 2), kWhite);
    // The wide page: 680 wide, 170 high.
    const QImage wide = prepared.renderPage(1, 1.0);
    EXPECT_TRUE(near(wide.pixel(36 + 678, top + 168), qRgb(0, 255, 0)));
    EXPECT_EQ(wide.pixel(400, top + 175), kWhite);
}
