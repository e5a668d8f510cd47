#include "Essays.h"

#include "correction/TfrmTemp.h"
#include "document/EssayRecord.h"

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

} // namespace

TEST_F(PageRenderer, ManuscriptLinesAndPages)
{
    const struct {
        int lines;
        int rows;
        int pages;
    } cases[] = {
        {5, 21, 1}, {21, 21, 1}, {29, 29, 1}, {30, 30, 2}, {31, 31, 2}, {60, 60, 3}, {61, 61, 3},
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

TEST_F(PageRenderer, ScannedPages)
{
    DataSet table = Table(Essays::Scanned({Essays::Picture({670, 900}, Qt::blue),
                                           Essays::Picture({300, 200}, Qt::green), QImage()}));
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
        {"", 0}, {"좋아요", 1}, {"좋아요\r\n", 1}, {"좋아요\r\n\r\n", 2}, {"(1) 띄어쓰기\r\n(2) 맞춤법\r\n", 2},
        {QString(40, QChar(u'가')), 3},
    };
    for (const auto& c : cases) {
        QImage picture;
        renderer->RenderText(c.text, picture);
        EXPECT_EQ(picture.size(), QSize(183, lh * c.lines + 10)) << c.text.toStdString();
        EXPECT_EQ(Ink(picture, 0, picture.height()) > 0, !c.text.trimmed().isEmpty()) << c.text.toStdString();
    }
}
