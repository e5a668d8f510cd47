#include "Essays.h"

#include "correction/TfrmTemp.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"

#include <gtest/gtest.h>

namespace {

class PageRenderer : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateFrmTemp();
        renderer = frmTemp;
    }

    DataSet Table(DataSet essay)
    {
        DataSet table(EssayRecord::fields());
        renderer->BuildLineTable(essay, table);
        return table;
    }

    // A paragraph that wraps into exactly `lines` displayed lines of memTemp.
    QString Paragraph(int lines)
    {
        QString text;
        while (renderer->memTemp.Lines(text + QStringLiteral("도서관 ")).size() <= lines)
            text += QStringLiteral("도서관 ");
        return text;
    }

    // Dark pixels in the band of rows [top, top + height).
    static int Ink(const QImage& image, int top, int height, int left = 0, int right = -1)
    {
        if (right < 0)
            right = image.width();
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(top + height, image.height()); ++y)
            for (int x = left; x < right; ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    }

    TfrmTemp* renderer = nullptr;
};

}  // namespace

TEST_F(PageRenderer, ManuscriptLinesAndPages)
{
    const struct {
        int lines;
        int rows;
        int pages;
    } cases[] = {
        // A full page is not followed by a blank one.
        {5, 21, 1}, {21, 21, 1}, {29, 29, 1}, {30, 30, 1}, {31, 31, 2}, {60, 60, 2}, {61, 61, 3},
    };
    for (const auto& c : cases) {
        DataSet table = Table(Essays::Manuscript(c.lines));
        EXPECT_EQ(table.recordCount(), c.rows) << c.lines;
        EXPECT_EQ(TfrmTemp::PageCount(table), c.pages) << c.lines;
    }

    DataSet table = Table(Essays::Manuscript(22));
    table.moveTo(21);
    EXPECT_EQ(table.asString(u"L5"), Essays::CellText(21, 5));
    EXPECT_EQ(table.asString(u"L21"), " ");
    EXPECT_EQ(table.asInteger(u"NType"), 1);

    DataSet zero = Essays::Manuscript(3);
    zero.edit();
    zero.setInteger(u"NType", 0);
    zero.post();
    DataSet fromZero = Table(zero);
    EXPECT_EQ(fromZero.recordCount(), 21) << "NType 0 reads as manuscript paper";
    EXPECT_EQ(TfrmTemp::PaperKind(fromZero), 0);
}

// Blank lines after the text (a student's Enter key held down, a sheet's 21 lines) show no
// empty page; a written line further down does.
TEST_F(PageRenderer, BlankLinesAfterTheTextMakeNoPage)
{
    ManuscriptGrid grid(75);
    grid.setCell(4, 1, QStringLiteral("끝"));
    DataSet essay(EssayRecord::fields());
    EssayRecord::writeManuscript(essay, QStringLiteral("S1"), grid);
    DataSet table = Table(essay);
    ASSERT_EQ(table.recordCount(), 75);
    EXPECT_EQ(TfrmTemp::PageCount(table), 1);

    grid.setCell(60, 21, QStringLiteral("."));
    EssayRecord::writeManuscript(essay, QStringLiteral("S1"), grid);
    DataSet margin = Table(essay);
    EXPECT_EQ(TfrmTemp::PageCount(margin), 3) << "a hanging period in the margin is written text";

    DataSet blank = Table(Essays::BlankPaper(Paragraph(2) + QStringLiteral("\r\n").repeated(40)));
    EXPECT_GT(blank.recordCount(), 30);
    EXPECT_EQ(TfrmTemp::PageCount(blank), 1);
}

TEST_F(PageRenderer, EmptyTablesReadAsOneManuscriptPage)
{
    for (DataSet essay : {Essays::BlankPaper({}), Essays::Scanned({}), DataSet(EssayRecord::fields())}) {
        DataSet table = Table(essay);
        EXPECT_EQ(table.recordCount(), 0);
        EXPECT_EQ(TfrmTemp::PaperKind(table), 0);
        EXPECT_EQ(TfrmTemp::PageCount(table), 1);
        QImage page;
        renderer->RenderPage(table, page, 1);
        EXPECT_EQ(page.size(), QSize(650, 880)) << "painted as a manuscript grid";
    }
}

TEST_F(PageRenderer, UnknownKindIsRefused)
{
    DataSet table(EssayRecord::fields());
    DataSet essay = Essays::OfKind(7);
    try {
        renderer->BuildLineTable(essay, table);
        FAIL() << "kind 7 was taken";
    } catch (const std::exception& e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf("(7)"), -1) << e.what();
    }
}

// 15 paragraphs of three displayed lines: 45 rows, pages of 30 and 15 lines, each line
// followed by an empty one.
TEST_F(PageRenderer, BlankPaperWrapsAtTheBoxWidth)
{
    QStringList paragraphs;
    for (int i = 0; i < 15; ++i)
        paragraphs << Paragraph(3);
    DataSet table = Table(Essays::BlankPaper(paragraphs.join("\r\n") + "\r\n"));
    ASSERT_EQ(table.recordCount(), 45);
    EXPECT_EQ(TfrmTemp::PageCount(table), 2);
    table.moveTo(0);
    EXPECT_TRUE(table.asString(u"LText").startsWith("도서관 "));
    EXPECT_EQ(table.asInteger(u"NType"), 2);

    const int lh = renderer->LineHeight();
    const QSize size(renderer->memTemp.Width, 60 * lh + 10);
    QImage first, second;
    renderer->RenderTextPage(table, first, 1);
    renderer->RenderTextPage(table, second, 2);
    EXPECT_EQ(first.size(), size);
    EXPECT_EQ(second.size(), size);
    EXPECT_EQ(Ink(first, 0, 10), 0) << "text starts 10 pixels down";
    EXPECT_EQ(Ink(first, 0, first.height(), 0, 10), 0) << "and 10 pixels in";
    for (int line = 0; line < 60; ++line) {
        const bool text = line % 2 == 0;
        EXPECT_EQ(Ink(first, 10 + line * lh, lh) > 0, text) << "page 1, line " << line;
        EXPECT_EQ(Ink(second, 10 + line * lh, lh) > 0, text && line < 30) << "page 2, line " << line;
    }
}

// The board of a screen of two device pixels to a pixel shows the page drawn at them: the
// same page in pixels, its text edges not those of the page of pixels enlarged.
TEST_F(PageRenderer, PagesAtTwoDevicePixels)
{
    const struct {
        const char* name;
        DataSet essay;
    } cases[] = {
        {"manuscript", Essays::Manuscript(61)},
        {"blank paper", Essays::BlankPaper(Paragraph(3) + "\r\n")},
    };
    for (const auto& c : cases) {
        DataSet table = Table(c.essay);
        QImage plain, sharp;
        renderer->RenderPage(table, plain, 1);
        renderer->RenderPage(table, sharp, 1, 2);
        EXPECT_EQ(sharp.devicePixelRatio(), 2) << c.name;
        EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(plain.size())) << c.name;
        const QImage enlarged = plain.scaled(plain.size() * 2).convertToFormat(sharp.format());
        EXPECT_NE(sharp, enlarged) << c.name;
    }
}

TEST_F(PageRenderer, ScannedPages)
{
    DataSet table = Table(
        Essays::Scanned({Essays::Picture({670, 900}, Qt::blue), Essays::Picture({300, 200}, Qt::green), QImage()}));
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(TfrmTemp::PageCount(table), 3) << "one page per scanned row";

    QImage page;
    renderer->RenderImagePage(table, page, 1);
    ASSERT_EQ(page.size(), QSize(670, 920));
    EXPECT_EQ(QColor(page.pixel(300, 9)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(300, 10)).blue() > 200, true);
    EXPECT_EQ(QColor(page.pixel(300, 909)).blue() > 200, true);
    EXPECT_EQ(QColor(page.pixel(300, 910)), QColor(Qt::white));

    renderer->RenderPage(table, page, 2);
    EXPECT_EQ(page.size(), QSize(300, 220));
    const QImage kept = page;
    EXPECT_ANY_THROW(renderer->RenderPage(table, page, 3)) << "not JPEG data";
    EXPECT_EQ(page, kept) << "a page that fails leaves the picture as it was";
    EXPECT_ANY_THROW(renderer->RenderPage(table, page, 4));
}

TEST_F(PageRenderer, TextPictureForTheThumbnail)
{
    const int lh = renderer->LineHeight();
    const struct {
        QString text;
        int lines;
    } cases[] = {
        {"", 0},
        {"좋아요", 1},
        {"좋아요\r\n", 1},
        {"좋아요\r\n\r\n", 2},
        {"(1) 띄어쓰기\r\n(2) 맞춤법\r\n", 2},
        {QString(40, QChar(u'가')), 3},
    };
    for (const auto& c : cases) {
        QImage picture;
        renderer->RenderText(c.text, picture);
        EXPECT_EQ(picture.size(), QSize(183, lh * c.lines + 10)) << c.text.toStdString();
        EXPECT_EQ(Ink(picture, 0, picture.height()) > 0, !c.text.trimmed().isEmpty()) << c.text.toStdString();
    }
}

namespace {

const QColor kBox(200, 200, 200);

bool IsOrange(QRgb p)
{
    const QColor c(p);
    return c.red() > 200 && c.green() > 80 && c.green() < 200 && c.blue() < 100;
}

// Columns holding orange pixels in the counter cell of the page's row `row`.
int CounterWidth(const QImage& page, int row)
{
    int first = -1, last = -1;
    for (int x = 10; x < 50; ++x)
        for (int y = 10 + row * 29; y < 10 + (row + 1) * 29; ++y)
            if (IsOrange(page.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return first < 0 ? 0 : last - first + 1;
}

bool AllWhite(const QImage& page)
{
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

}  // namespace

// Cells of 29 pixels from (10, 10): column 0 is 40 wide, so writing cell c starts at
// x = 50 + 29 × (c − 1) and its box at one pixel to the left.
TEST_F(PageRenderer, ManuscriptPageGeometry)
{
    DataSet table = Table(Essays::Manuscript(61));
    QImage page;
    renderer->RenderGridPage(table, page, 1);
    ASSERT_EQ(page.size(), QSize(650, 880));

    EXPECT_EQ(QColor(page.pixel(49, 9)), QColor(Qt::white)) << "nothing above the grid";
    EXPECT_EQ(QColor(page.pixel(49, 10)), kBox) << "top-left of the first box";
    EXPECT_EQ(QColor(page.pixel(49, 35)), kBox) << "the box is 26 high";
    EXPECT_EQ(QColor(page.pixel(60, 36)), QColor(Qt::white)) << "then the gap under the line";
    EXPECT_EQ(QColor(page.pixel(49, 37)), kBox) << "the sheet's left edge bridges the gap";
    EXPECT_EQ(QColor(page.pixel(78, 20)), kBox) << "neighbours share their edge";
    EXPECT_EQ(QColor(page.pixel(629, 20)), kBox) << "right edge of column 20";
    EXPECT_EQ(QColor(page.pixel(629, 37)), kBox);
    EXPECT_EQ(QColor(page.pixel(640, 20)), QColor(Qt::white)) << "the margin cell has no box";
    EXPECT_EQ(QColor(page.pixel(49, 10 + 29 * 29)), kBox) << "line 30 of the page";
    EXPECT_EQ(QColor(page.pixel(49, 10 + 29 * 29 + 27)), QColor(Qt::white)) << "the page's last gap is open";
    EXPECT_EQ(Ink(page, 10, 29, 50, 79) > 0, true) << "cell text";

    const int zero = CounterWidth(page, 0);
    EXPECT_GT(zero, 0) << "the count 0 on the first line";
    EXPECT_EQ(CounterWidth(page, 1), 0);
    EXPECT_GT(CounterWidth(page, 10), zero) << "200 on the eleventh line";

    QImage second;
    renderer->RenderGridPage(table, second, 2);
    EXPECT_GT(CounterWidth(second, 0), 2 * zero) << "page 2 starts at line 30: 600";
    EXPECT_EQ(renderer->grid.cell(30, 7), Essays::CellText(30, 7));
    EXPECT_EQ(renderer->grid.lineCount(), 61);
}

TEST_F(PageRenderer, LastPagesOfShortEssays)
{
    QImage page;
    DataSet thirty = Table(Essays::Manuscript(30));
    renderer->RenderGridPage(thirty, page, 2);
    EXPECT_TRUE(AllWhite(page)) << "page 2 of 30 lines is white space";

    DataSet thirtyOne = Table(Essays::Manuscript(31));
    renderer->RenderGridPage(thirtyOne, page, 2);
    EXPECT_EQ(QColor(page.pixel(49, 20)), kBox) << "the one line of page 2";
    EXPECT_EQ(QColor(page.pixel(49, 37)), QColor(Qt::white)) << "closed under the sheet's last line";
    EXPECT_EQ(QColor(page.pixel(49, 50)), QColor(Qt::white)) << "nothing after it";

    DataSet short21 = Table(Essays::Manuscript(5));
    renderer->RenderGridPage(short21, page, 1);
    EXPECT_EQ(QColor(page.pixel(49, 10 + 20 * 29 + 5)), kBox) << "a short essay still shows 21 lines";
    EXPECT_EQ(QColor(page.pixel(49, 10 + 21 * 29 + 5)), QColor(Qt::white));
}
