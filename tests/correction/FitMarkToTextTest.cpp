#include "correction/FitMarkToText.h"

#include "board/TCanvas.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

TEST(FitMarkToText, LongestLineByBytesSetsTheWidthLineCountTheHeight)
{
    QImage surface(100, 100, QImage::Format_RGB32);
    TCanvas canvas(surface);
    canvas.SetFont(QStringLiteral("굴림체"), 10, false);
    const QFontMetrics metrics(canvas.Font);
    const auto measure = [&](const QString& line) { return QSize(canvas.TextWidth(line), canvas.TextHeight(line)); };
    const auto mark = [](const QString& strings) {
        CorrectionRecord::MarkRow row;
        row.left = 10;
        row.top = 20;
        row.right = 15;
        row.bottom = 25;
        row.strings = strings;
        return row;
    };

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
        CorrectionRecord::MarkRow item = mark(c.strings);
        FitMarkToText(item, measure);
        EXPECT_EQ(item.left, 10);
        EXPECT_EQ(item.top, 20);
        EXPECT_EQ(item.right, 10 + metrics.horizontalAdvance(c.widest) + 4) << c.strings.toStdString();
        EXPECT_EQ(item.bottom, 20 + metrics.height() * c.lines + 4) << c.strings.toStdString();
    }

    CorrectionRecord::MarkRow empty = mark({});
    FitMarkToText(empty, measure);
    EXPECT_EQ(empty.right, 15);
    EXPECT_EQ(empty.bottom, 25);
}

}
