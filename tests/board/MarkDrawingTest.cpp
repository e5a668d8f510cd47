#include "FakeBoard.h"
#include "Pixels.h"

#include "board/BoardItem.h"
#include "board/TCanvas.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

QImage Drawn(TDrawTool tool, QRect edges, const QString& text = {}, const QString& point = {})
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    TBoardItem item;
    item.SetBounds(edges.left(), edges.top(), edges.right(), edges.bottom());
    item.SetDrawTool(tool);
    item.SetStrings(text);
    item.SetReportPoint(point);
    item.Draw(canvas);
    return image;
}

// Corners (100, 100) and (160, 160): cx = cy = 130, q1 = 115, q3 = 145.
const QRect Square(QPoint(100, 100), QPoint(160, 160));

}  // namespace

TEST(MarkDrawing, EveryKindDrawsItsFigure)
{
    const struct {
        TDrawTool tool;
        QRect edges;
        std::vector<QPoint> on;
        std::vector<QPoint> off;
    } cases[] = {
        {dt11,
         QRect(QPoint(100, 100), QPoint(120, 120)),
         {{100, 100}, {105, 110}, {110, 120}, {115, 110}, {120, 100}},
         {{110, 105}, {110, 110}, {100, 110}}},
        {dt12,
         Square,
         {{122, 130}, {138, 130}, {130, 159}, {100, 108}, {160, 112}},
         {{130, 120}, {103, 110}, {105, 130}}},
        {dt13,
         Square,
         {{130, 100}, {138, 130}, {130, 159}, {100, 108}, {160, 112}},
         {{122, 130}, {130, 120}, {103, 110}}},
        {dt14, Square, {{100, 125}, {103, 128}, {130, 130}, {160, 125}}, {{130, 120}, {130, 136}}},
        {dt15, Square, {{100, 160}, {115, 130}, {130, 100}, {145, 130}, {160, 160}}, {{130, 130}, {100, 130}}},
        {dt16, Square, {{100, 128}, {130, 128}, {130, 132}, {160, 132}}, {{130, 130}, {130, 124}, {130, 136}}},
        {dt17, Square, {{100, 154}, {115, 157}, {130, 160}, {145, 157}, {160, 154}}, {{130, 150}, {115, 152}}},
        {dt18,
         Square,
         {{100, 150}, {130, 160}, {160, 150}, {130, 120}, {120, 130}, {140, 110}, {150, 100}, {140, 110}},
         {{137, 137}, {110, 110}, {157, 117}}},
        {dt21, Square, {{100, 130}, {130, 100}, {160, 130}, {130, 160}}, {{130, 130}, {104, 104}}},
        {dt22, Square, {{130, 100}, {110, 108}, {150, 108}}, {{130, 160}, {100, 130}, {160, 130}}},
        {dt23, Square, {{130, 104}, {128, 105}, {132, 105}, {128, 100}}, {{130, 160}, {130, 107}}},
        {dt24, Square, {{115, 160}, {145, 100}}, {{115, 100}, {145, 160}}},
        {dt25,
         Square,
         {{160, 105}, {130, 115}, {100, 130}, {130, 145}, {160, 155}},
         {{100, 105}, {100, 155}, {160, 130}}},
        {dt26,
         Square,
         {{100, 105}, {130, 115}, {160, 130}, {130, 145}, {100, 155}},
         {{160, 105}, {160, 155}, {100, 130}}},
        {dt27, Square, {{130, 104}, {143, 100}, {156, 104}, {153, 105}, {100, 134}}, {{110, 100}, {130, 130}}},
        {dt31, Square, {{115, 160}, {130, 130}, {145, 100}}, {{145, 160}, {115, 100}}},
        {dt32,
         Square,
         {{105, 160}, {100, 145}, {130, 130}, {160, 117}, {155, 104}, {152, 106}},
         {{130, 160}, {130, 145}, {130, 104}}},
        {dt33, Square, {{130, 115}, {160, 130}, {130, 145}}, {{130, 130}, {100, 130}}},
        {dt34, Square, {{100, 130}}, {{130, 100}, {130, 160}, {160, 130}}},
        {dt35, Square, {{130, 100}, {160, 115}, {130, 130}, {100, 145}, {130, 160}}, {{100, 115}, {160, 145}}},
        {dt41, Square, {{100, 130}, {130, 100}, {160, 130}, {130, 160}}, {{130, 130}, {104, 104}}},
        {dt42, Square, {{115, 115}, {130, 130}, {145, 115}, {130, 156}, {130, 160}}, {{130, 110}, {130, 145}}},
        {dt46, Square, {{100, 100}, {130, 100}, {160, 100}}, {{130, 104}, {130, 130}}},
        {dtLeft, Square, {{100, 130}, {130, 100}, {130, 160}}, {{160, 130}}},
        {dtRight, Square, {{160, 130}, {130, 100}, {130, 160}}, {{100, 130}}},
    };
    for (const auto& c : cases) {
        const QImage image = Drawn(c.tool, c.edges);
        for (QPoint p : c.on)
            EXPECT_TRUE(RedNear(image, p.x(), p.y())) << int(c.tool) << " on " << p.x() << "," << p.y();
        for (QPoint p : c.off)
            EXPECT_FALSE(RedNear(image, p.x(), p.y(), 0)) << int(c.tool) << " off " << p.x() << "," << p.y();
    }
}

TEST(MarkDrawing, ArcsStartWhereTheRayMeetsTheEllipse)
{
    // Box 120 x 60 round (160, 130): the ray towards (220, 115) meets the ellipse at about
    // (213.7, 116.6); an eccentric angle taken from the ray would start near (218, 123).
    const QImage image = Drawn(dt22, QRect(QPoint(100, 100), QPoint(220, 160)));
    EXPECT_TRUE(RedNear(image, 213, 117));
    EXPECT_TRUE(RedNear(image, 106, 117));
    EXPECT_FALSE(RedNear(image, 218, 123));
    EXPECT_FALSE(RedNear(image, 102, 123));
}

TEST(MarkDrawing, ItemsWithoutAFigureDrawOnlyTheirTexts)
{
    for (int ordinal : {int(dtNone), int(dtSelect), 32, 200}) {
        const TDrawTool tool = TDrawTool(ordinal);
        EXPECT_EQ(Drawn(tool, Square), WhiteImage()) << ordinal;
        const QRect text = DiffBox(Drawn(tool, Square, QStringLiteral("가나")), WhiteImage());
        ASSERT_FALSE(text.isEmpty()) << ordinal;
        EXPECT_LE(std::abs(text.center().x() - 130), 2) << ordinal;
        EXPECT_LE(text.top() - 100, 4) << ordinal;
    }
}

TEST(MarkDrawing, SawTeethStandOnTheBottomEdge)
{
    const QImage image = Drawn(dt43, QRect(QPoint(100, 100), QPoint(120, 120)));
    for (int x : {104, 112, 120})
        EXPECT_TRUE(RedNear(image, x, 116)) << x;
    for (int x : {100, 108, 116, 124})
        EXPECT_TRUE(RedNear(image, x, 120)) << x;
    EXPECT_FALSE(RedNear(image, 128, 116));
    EXPECT_FALSE(RedNear(image, 130, 120, 2));
    EXPECT_FALSE(RedNear(image, 110, 110, 3));
}

TEST(MarkDrawing, BoldSignsComeBeforeTheirTeeth)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvas measure(probe);
    measure.SetFont(QStringLiteral("굴림체"), 16, true);

    const struct {
        TDrawTool tool;
        QString sign;
    } cases[] = {{dt44, QStringLiteral("?")}, {dt45, QStringLiteral("◎")}};
    for (const auto& c : cases) {
        const int x0 = 100 + measure.TextWidth(c.sign);
        QImage image = WhiteImage();
        TCanvas canvas(image);
        TBoardItem item;
        item.SetBounds(100, 100, 200, 140);
        item.SetDrawTool(c.tool);
        item.SetStrings(QStringLiteral("anything"));
        item.Draw(canvas);
        EXPECT_EQ(item.Strings(), c.sign);
        EXPECT_TRUE(RedNear(image, x0 + 4, 136)) << c.sign.toStdString();
        EXPECT_TRUE(RedNear(image, x0 + 8, 140)) << c.sign.toStdString();
        EXPECT_FALSE(RedNear(image, x0 - 4, 136, 0)) << c.sign.toStdString();
        EXPECT_FALSE(DiffBox(image.copy(100, 100, x0 - 100, 30), WhiteImage(x0 - 100, 30)).isEmpty());

        // Narrower than its sign: no teeth at all, only the clipped sign in the top rows.
        const QImage narrow = Drawn(c.tool, QRect(QPoint(100, 100), QPoint(100 + measure.TextWidth(c.sign) - 1, 140)));
        EXPECT_TRUE(DiffBox(narrow.copy(90, 128, 60, 16), WhiteImage(60, 16)).isEmpty()) << c.sign.toStdString();
    }
}

TEST(MarkDrawing, OwnTextLayouts)
{
    const QImage blank = WhiteImage();
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvas measure(probe);
    measure.SetFont(QStringLiteral("굴림체"), 10, false);
    const int lineHeight = measure.TextHeight(QStringLiteral("가"));

    // dt14, dt17: top-centred.
    for (TDrawTool tool : {dt14, dt17}) {
        const QRect box = DiffBox(Drawn(tool, Square, QStringLiteral("가")), Drawn(tool, Square));
        EXPECT_LE(std::abs(box.center().x() - 130), 2) << int(tool);
        EXPECT_LE(box.top() - 100, 4) << int(tool);
    }

    // dt21, dt41: one line in the middle, the CR LF taken as no break.
    for (TDrawTool tool : {dt21, dt41}) {
        const QRect one = DiffBox(Drawn(tool, Square, QStringLiteral("AB")), Drawn(tool, Square));
        const QRect two = DiffBox(Drawn(tool, Square, QStringLiteral("AB\r\nCD")), Drawn(tool, Square));
        EXPECT_LE(std::abs(one.center().y() - 130), 3) << int(tool);
        EXPECT_LE(std::abs(two.center().y() - 130), 3) << int(tool);
        EXPECT_LT(two.height(), lineHeight) << int(tool);
        EXPECT_GT(two.width(), one.width() * 3 / 2) << int(tool);
    }

    // dt42: one line at the top.
    const QRect top = DiffBox(Drawn(dt42, Square, QStringLiteral("AB\r\nCD")), Drawn(dt42, Square));
    EXPECT_LE(top.top() - 100, 4);
    EXPECT_LT(top.height(), lineHeight);

    // dtText: top-left, a line for each CR LF.
    const QRect note = DiffBox(Drawn(dtText, Square, QStringLiteral("AB\r\nCD")), blank);
    EXPECT_LE(note.left() - 100, 3);
    EXPECT_LE(note.top() - 100, 4);
    EXPECT_GT(note.height(), lineHeight);

    // Marks with the tail's text: top-centred, every line.
    const QRect tail = DiffBox(Drawn(dt46, Square, QStringLiteral("AB\r\nCD")), Drawn(dt46, Square));
    EXPECT_LE(std::abs(tail.center().x() - 130), 2);
    EXPECT_GT(tail.height(), lineHeight);
}

TEST(MarkDrawing, CommaSitsOnTheBottomLineOfTheCaret)
{
    const QRect edges(QPoint(100, 100), QPoint(200, 200));
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvas measure(probe);
    measure.SetFont(QStringLiteral("굴림체"), 10, false);
    const int h = measure.TextHeight(QStringLiteral(","));

    const QImage caret = Drawn(dt15, edges);
    const QImage comma = Drawn(dt15, edges, QStringLiteral(","));
    const QRect box = DiffBox(comma, caret);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_LE(std::abs(box.center().x() - 150), 2);
    EXPECT_GE(box.top(), 200 - h);
    EXPECT_LE(box.bottom(), 200);
    // A second line falls outside the one-line box.
    EXPECT_EQ(Drawn(dt15, edges, QStringLiteral(",\r\nXX")), comma);
}

TEST(MarkDrawing, PointTextSitsTopLeftOfTheTextBox)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvas measure(probe);
    measure.SetFont(QStringLiteral("굴림체"), 10, false);
    const int h = measure.TextHeight(QStringLiteral("가"));
    const QRect edges(QPoint(100, 100), QPoint(200, 200));

    for (TDrawTool tool : {dt11, dt21, dt41, dtText, dt44, TDrawTool(99)}) {
        const QRect box = DiffBox(Drawn(tool, edges, QString(), QStringLiteral("-3")), Drawn(tool, edges));
        ASSERT_FALSE(box.isEmpty()) << int(tool);
        EXPECT_LE(box.left() - 100, 3) << int(tool);
        EXPECT_LE(box.top() - 100, 6) << int(tool);
        EXPECT_LT(box.right(), 130) << int(tool);
    }
    const QRect dt15Box = DiffBox(Drawn(dt15, edges, QString(), QStringLiteral("-3")), Drawn(dt15, edges));
    ASSERT_FALSE(dt15Box.isEmpty());
    EXPECT_GE(dt15Box.top(), 200 - h);
    EXPECT_LE(dt15Box.left() - 100, 3);
}

TEST(MarkDrawing, CanvasKeepsTheSetUpAfterwards)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.PenColor = Qt::white;
    canvas.PenWidth = 1;
    canvas.BrushStyle = TBrushStyle::Solid;

    TBoardItem sign;
    sign.SetBounds(10, 10, 60, 40);
    sign.SetDrawTool(dt44);
    sign.Draw(canvas);
    EXPECT_EQ(canvas.Font.pixelSize(), 21);
    EXPECT_TRUE(canvas.Font.bold());

    TBoardItem note;
    note.SetBounds(100, 100, 200, 130);
    note.SetDrawTool(dtText);
    note.SetStrings(QStringLiteral("AB"));
    note.Draw(canvas);
    EXPECT_EQ(canvas.PenColor, QColor(255, 0, 0));
    EXPECT_EQ(canvas.FontColor, QColor(255, 0, 0));
    EXPECT_EQ(canvas.PenWidth, 2);
    EXPECT_EQ(canvas.BrushStyle, TBrushStyle::Clear);
    EXPECT_EQ(canvas.Font.pixelSize(), 13);
    EXPECT_FALSE(canvas.Font.bold());
    // The note after the bold sign looks exactly like a note drawn alone.
    EXPECT_EQ(image.copy(90, 90, 120, 50),
              Drawn(dtText, QRect(QPoint(100, 100), QPoint(200, 130)), QStringLiteral("AB")).copy(90, 90, 120, 50));
}

TEST(MarkDrawing, EmptyNotesTakeTheirDefaultTextThroughTheSetter)
{
    const struct {
        TDrawTool tool;
        QString text;
    } cases[] = {{dtText, QStringLiteral("input Text")}, {dtNumber, QStringLiteral("(1)")}};
    for (const auto& c : cases) {
        FakeBoard board;
        auto owned = std::make_unique<TBoardItem>();
        owned->SetBounds(10, 10, 100, 40);
        owned->SetDrawTool(c.tool);
        TBoardItem* item = board.items.Add(std::move(owned));
        EXPECT_EQ(item->Strings(), c.text);
        EXPECT_EQ(board.redraws, 1);
        item->Draw(board.bufferCanvas);
        EXPECT_EQ(board.redraws, 1);
    }
}

TEST(MarkDrawing, BelowFortyPixelsTheSpiralsEllipseLeavesTheItem)
{
    const QImage image = Drawn(dt18, QRect(QPoint(100, 100), QPoint(160, 130)));
    EXPECT_TRUE(RedNear(image, 100, 135));
    EXPECT_TRUE(RedNear(image, 130, 140));
}

TEST(MarkDrawing, AbsurdStoredEdgesDrawWithoutStalling)
{
    for (TDrawTool tool : {dt43, dt44, dt11, dt18, dt22, dt41, dtText}) {
        QImage image = WhiteImage();
        TCanvas canvas(image);
        TBoardItem item;
        item.SetBounds(-2000000000, 100, 2000000000, 2147483647);
        item.SetDrawTool(tool);
        item.SetStrings(QStringLiteral("x"));
        item.Draw(canvas);
        item.SetBounds(2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647);
        item.Draw(canvas);
    }
    // Teeth far to the left of the picture keep their places.
    const QImage far = Drawn(dt43, QRect(QPoint(-8000000, 100), QPoint(60, 120)));
    EXPECT_TRUE(RedNear(far, 4, 116));
    EXPECT_TRUE(RedNear(far, 60, 116));
    EXPECT_TRUE(RedNear(far, 40, 120));
    EXPECT_FALSE(RedNear(far, 40, 112));
}
