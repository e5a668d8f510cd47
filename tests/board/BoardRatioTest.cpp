#include "Pixels.h"

#include "board/SorBoard.h"

#include <QTest>
#include <gtest/gtest.h>

// Runs at a screen scale of 2 (see CMakeLists.txt): the board's picture has two device pixels
// to each pixel, while marks, frames and the pictures sent away stay in pixels.
namespace {

class RatioBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A page of single device pixels that no upscale of a picture of pixels could make.
        QImage& page = board.Background();
        page = QImage(600, 480, QImage::Format_RGB32);
        page.setDevicePixelRatio(2);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                page.setPixel(x, y, (x + y) % 2 ? qRgb(250, 250, 200) : qRgb(20, 20, 60));
        board.resize(300, 240);
        board.Redraw();
        board.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
        board.OnPlaceItem = [this](TSorCustomBoard*, TDrawTool tool, QPoint start, QPoint end) {
            auto item = std::make_unique<TBoardItem>();
            item->SetBounds(start.x(), start.y(), end.x(), end.y());
            item->SetDrawTool(tool);
            board.Items().Add(std::move(item));
        };
    }

    QImage Window() { return board.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TSorBoard board;
};

TEST_F(RatioBoard, PictureHasTheScreensDevicePixels)
{
    ASSERT_EQ(board.devicePixelRatioF(), 2);
    EXPECT_EQ(board.Buffer().devicePixelRatio(), 2);
    EXPECT_EQ(board.Buffer().size(), QSize(600, 480));
    EXPECT_EQ(board.Buffer(), board.Background());
    EXPECT_EQ(Window(), board.Buffer());
}

TEST_F(RatioBoard, MarksAndFramesStayInPixels)
{
    board.SetDrawTool(dt41);
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&board, QPoint(90, 80));
    const QImage framed = Window();
    // A frame line of one pixel covers both of its device pixels.
    EXPECT_EQ(DiffBox(framed, board.Buffer()), QRect(QPoint(100, 100), QPoint(181, 161)));
    for (const QPoint p : {QPoint(140, 100), QPoint(140, 101), QPoint(100, 130), QPoint(181, 130)})
        EXPECT_EQ(framed.pixel(p), ~board.Buffer().pixel(p) | 0xff000000u) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(140, 102), QPoint(102, 130), QPoint(179, 130)})
        EXPECT_EQ(framed.pixel(p), board.Buffer().pixel(p)) << p.x() << "," << p.y();
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(90, 80));

    ASSERT_EQ(board.Items().Count(), 1);
    const TBoardItem& item = *board.Items().Items(0);
    EXPECT_EQ(QRect(QPoint(item.Left(), item.Top()), QPoint(item.Right(), item.Bottom())),
              QRect(QPoint(50, 50), QPoint(90, 80)));
    EXPECT_EQ(Window(), board.Buffer());
    EXPECT_TRUE(RedNear(board.Buffer(), 170, 100, 2));
}

TEST_F(RatioBoard, PicturesSentAwayKeepTheirSizeInPixels)
{
    QImage copy;
    board.CopyPicture(copy);
    EXPECT_EQ(copy.size(), QSize(300, 240));
    EXPECT_EQ(copy.devicePixelRatio(), 1);
    QImage thumb(100, 50, QImage::Format_RGB32);
    thumb.fill(Qt::white);
    board.DrawPicture(thumb);
    EXPECT_EQ(thumb.size(), QSize(100, 50));
    EXPECT_EQ(thumb, copy.copy(0, 0, 100, 50));
}

}
