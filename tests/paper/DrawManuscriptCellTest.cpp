#include "paper/DrawManuscriptCell.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr QRgb kBox = 0xFFC8C8C8;
constexpr QRgb kWhite = 0xFFFFFFFF;

QRect cellRect(int line, int column)
{
    const int left = column == 0 ? 0 : 40 + (column - 1) * 29;
    return {left, line * 29, column == 0 ? 40 : 29, 29};
}

// A sheet of `lines` lines painted cell by cell, as a view paints it.
QImage paintSheet(int lines, const std::function<QString(int line, int column)>& text)
{
    QImage image(40 + 21 * 29, lines * 29, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int line = 0; line < lines; ++line)
        for (int column = 0; column <= 21; ++column)
            DrawManuscriptCell(painter, cellRect(line, column), column, line, text(line, column), line == lines - 1);
    return image;
}

QString noText(int, int)
{
    return {};
}

// Columns of the rectangle that hold text pixels (darker than the box edges).
std::pair<int, int> inkColumns(const QImage& image, const QRect& cell, int darkerThan = 100)
{
    int first = -1;
    int last = -1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < darkerThan) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first - cell.left(), last - cell.left()};
}

bool hasOrange(const QImage& image, const QRect& cell)
{
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 220 && c.green() > 90 && c.green() < 190 && c.blue() < 90)
                return true;
        }
    return false;
}

}

TEST(DrawManuscriptCell, BoxesOf30By26SharingTheirEdges)
{
    const QImage sheet = paintSheet(3, noText);
    const QRect c1 = cellRect(1, 1);  // left 40, top 29
    const struct {
        QPoint at;
        QRgb colour;
        const char* what;
    } cases[] = {
        {{39, 29}, kBox, "top-left corner one pixel left of the cell"},
        {{68, 29}, kBox, "right edge at the cell's last column, shared with the next box"},
        {{39, 54}, kBox, "bottom-left corner, 26 pixels down"},
        {{50, 54}, kBox, "bottom edge"},
        {{50, 55}, kWhite, "gap under the box"},
        {{50, 57}, kWhite, "gap, last row of the cell"},
        {{50, 40}, kWhite, "inside the box"},
        {{68, 56}, kWhite, "no edge between boxes across the gap"},
        {{39, 56}, kBox, "the sheet's left edge bridges the gap"},
        {{619, 56}, kBox, "the sheet's right edge bridges the gap (column 20)"},
        {{620 + 28, 40}, kWhite, "the margin cell has no box"},
        {{620 + 5, 29}, kWhite, "the margin cell has no top edge"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheet.pixel(c.at), c.colour) << c.what << " at " << c.at.x() << "," << c.at.y();
    EXPECT_EQ(c1.left(), 40);
}

TEST(DrawManuscriptCell, SheetEdgesBreakAfterEvery30thLineAndAfterTheLast)
{
    const QImage sheet = paintSheet(62, noText);
    const struct {
        int line;
        bool bridged;
    } cases[] = {{0, true}, {28, true}, {29, false}, {30, true}, {59, false}, {60, true}, {61, false}};
    for (const auto& c : cases) {
        const int gapY = c.line * 29 + 27;
        EXPECT_EQ(sheet.pixel(39, gapY), c.bridged ? kBox : kWhite) << "left edge after line " << c.line;
        EXPECT_EQ(sheet.pixel(619, gapY), c.bridged ? kBox : kWhite) << "right edge after line " << c.line;
    }
}

TEST(DrawManuscriptCell, LineCounterEveryTenLinesInOrange)
{
    const QImage sheet = paintSheet(21, noText);
    for (int line : {0, 10, 20})
        EXPECT_TRUE(hasOrange(sheet, cellRect(line, 0))) << line;
    // Column 0 without its last pixel column, where the boxes' left edge runs.
    const auto counter = [](int line) { return cellRect(line, 0).adjusted(0, 0, -1, 0); };
    for (int line : {1, 5, 9, 19})
        EXPECT_EQ(inkColumns(sheet, counter(line), 250).first, -1) << line;
    const auto [first, last] = inkColumns(sheet, counter(10), 250);
    EXPECT_GT(first, 4) << "\"200\" is centred in the 40-pixel column";
    EXPECT_LT(last, 36);
}

TEST(DrawManuscriptCell, CommaAndPeriodSitLeftOtherTextCentred)
{
    const QImage sheet = paintSheet(2, [](int line, int column) {
        if (line != 0)
            return QString();
        switch (column) {
        case 1:
            return QStringLiteral("가");
        case 2:
            return QStringLiteral(",");
        case 3:
            return QStringLiteral("ab");
        case 4:
            return QStringLiteral("\r\n가\r\n");
        case 21:
            return QStringLiteral(".");
        default:
            return QString();
        }
    });
    const auto [gFirst, gLast] = inkColumns(sheet, cellRect(0, 1));
    EXPECT_NEAR((gFirst + gLast) / 2.0, 14, 2.5) << "a syllable is centred";
    EXPECT_GT(gLast - gFirst, 10) << "at 13 points";
    const auto [cFirst, cLast] = inkColumns(sheet, cellRect(0, 2));
    EXPECT_GE(cFirst, 0);
    EXPECT_LT(cLast, 9) << "a comma sits at the left";
    const auto [pFirst, pLast] = inkColumns(sheet, cellRect(0, 21));
    EXPECT_GE(pFirst, 0);
    EXPECT_LT(pLast, 9) << "a hanging period sits at the left of the margin";
    const auto [aFirst, aLast] = inkColumns(sheet, cellRect(0, 3));
    EXPECT_NEAR((aFirst + aLast) / 2.0, 14, 3) << "two half-width letters are centred";
    EXPECT_EQ(inkColumns(sheet, cellRect(0, 4)), inkColumns(sheet, cellRect(0, 1))) << "line breaks are not drawn";
}
