#include "correction/FitItemToText.h"

#include "board/BoardItem.h"
#include "board/TCanvas.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

TEST(FitItemToText, LongestLineByBytesSetsTheWidthLineCountTheHeight)
{
    QImage surface(100, 100, QImage::Format_RGB32);
    TCanvas canvas(surface);
    canvas.SetFont(QStringLiteral("굴림체"), 10, false);
    const QFontMetrics metrics(canvas.Font);

    struct Case {
        QString strings;
        QString widest;  // the line whose width counts
        int lines;
    } cases[] = {{"ab\r\nabcd\r\n", "abcd", 2},
                 {"ab\r\nabcd", "abcd", 2},
                 {"(1)", "(1)", 1},
                 {"가\r\niii\r\n", "iii", 2},      // three bytes beat two, however wide
                 {"WW\r\n가\r\nii\r\n", "WW", 3},  // equal bytes: the first one
                 {"x\r\n\r\n", "x", 2}};
    for (const Case& c : cases) {
        TBoardItem item;
        item.SetBounds(10, 20, 15, 25);
        item.SetStrings(c.strings);
        FitItemToText(item, canvas);
        EXPECT_EQ(item.Left(), 10);
        EXPECT_EQ(item.Top(), 20);
        EXPECT_EQ(item.Right(), 10 + metrics.horizontalAdvance(c.widest) + 4) << c.strings.toStdString();
        EXPECT_EQ(item.Bottom(), 20 + metrics.height() * c.lines + 4) << c.strings.toStdString();
    }

    TBoardItem empty;
    empty.SetBounds(10, 20, 15, 25);
    FitItemToText(empty, canvas);
    EXPECT_EQ(empty.Right(), 15);
    EXPECT_EQ(empty.Bottom(), 25);
}

}
