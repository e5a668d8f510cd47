#include "Pixels.h"

#include "board/SorBoard.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Counts the rebuilds of the composed picture.
class CountingBoard : public TSorBoard {
public:
    void Redraw() override
    {
        if (Items().UpdateCount() == 0)
            ++redraws;
        TSorBoard::Redraw();
    }
    int redraws = 0;
};

class Board : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage& page = board.Background();
        page = QImage(300, 240, QImage::Format_RGB32);
        page.fill(QColor(250, 250, 200));
        board.resize(300, 240);
        board.Redraw();
        board.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
        board.OnItemSelected = [this](TBoardHost*, TBoardItem* item) { events.push_back({"selected", item}); };
        board.OnItemMoveSized = [this](TBoardHost*, TBoardItem* item) { events.push_back({"movesized", item}); };
        board.OnItemAdd = [this](TBoardHost*, TBoardItem* item) { events.push_back({"add", item}); };
        // The owner's model places: here the item takes the gesture's corners as they stand.
        board.OnPlaceItem = [this](TSorCustomBoard* sender, TDrawTool tool, QPoint start, QPoint end) {
            EXPECT_EQ(sender, &board);
            requests.push_back({tool, QRect(start, end)});
            auto item = std::make_unique<TBoardItem>();
            item->SetBounds(start.x(), start.y(), end.x(), end.y());
            item->SetDrawTool(tool);
            board.Items().Add(std::move(item));
        };
    }

    TBoardItem* Place(TDrawTool tool, QPoint from, QPoint to)
    {
        board.SetDrawTool(tool);
        QTest::mousePress(&board, Qt::LeftButton, {}, from);
        QTest::mouseMove(&board, to);
        QTest::mouseRelease(&board, Qt::LeftButton, {}, to);
        return board.Items().Items(board.Items().Count() - 1);
    }

    // What the board's own window shows, without the handles.
    QImage Window()
    {
        QImage image(board.size(), QImage::Format_RGB32);
        board.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return image;
    }

    QRect Edges(const TBoardItem* item) const
    {
        return QRect(QPoint(item->Left(), item->Top()), QPoint(item->Right(), item->Bottom()));
    }

    bool HandlesShown()
    {
        int shown = 0;
        for (int i = 0; i < 8; ++i)
            shown += board.Graps().Handles(i)->isVisible();
        EXPECT_TRUE(shown == 0 || shown == 8);
        return shown == 8;
    }

    void Click(QPoint point)
    {
        QTest::mousePress(&board, Qt::LeftButton, {}, point);
        QTest::mouseRelease(&board, Qt::LeftButton, {}, point);
    }

    struct Event {
        std::string what;
        TBoardItem* item;
    };
    struct Request {
        TDrawTool tool;
        QRect gesture;  // press point to release point
        bool operator==(const Request&) const = default;
    };
    CountingBoard board;
    std::vector<Event> events;
    std::vector<Request> requests;
};

}  // namespace

TEST(BoardStart, WithoutAnOwnerPlacingAddsNothing)
{
    TSorBoard board;
    board.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
    board.SetDrawTool(dt11);
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(board.Items().Count(), 0);
}

TEST(BoardStart, NewBoardShowsExactlyItsPicture)
{
    TSorBoard board;
    EXPECT_EQ(board.Selected(), -1);
    EXPECT_EQ(board.DrawTool(), dtNone);
    EXPECT_EQ(board.BoardColor(), QColor(Qt::white));
    EXPECT_EQ(board.Items().Count(), 0);
    EXPECT_EQ(board.size(), QSize(200, 100));
    EXPECT_EQ(board.Canvas().Font.family(), QStringLiteral("굴림"));
    EXPECT_EQ(board.Canvas().Font.pixelSize(), 12);
    EXPECT_EQ(board.Canvas().FontColor, QColor(Qt::white));

    QImage page(756, 1069, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    board.Background() = page;
    board.resize(756, 1069);
    board.Redraw();
    EXPECT_EQ(board.Buffer(), page);
    QImage copy;
    board.CopyPicture(copy);
    EXPECT_EQ(copy, page);
    QImage thumb(100, 50, QImage::Format_RGB32);
    board.DrawPicture(thumb);
    EXPECT_EQ(thumb.size(), QSize(100, 50));
    EXPECT_EQ(thumb, page.copy(0, 0, 100, 50));
}

TEST_F(Board, PlacingAsksTheOwnerAndLeavesNoFrame)
{
    board.SetDrawTool(dt41);
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&board, QPoint(90, 80));
    const QImage framed = Window();
    EXPECT_EQ(DiffBox(framed, board.Buffer()), QRect(QPoint(50, 50), QPoint(90, 80)));
    EXPECT_EQ(framed.pixel(70, 50), ~board.Buffer().pixel(70, 50) | 0xff000000u);
    EXPECT_EQ(framed.pixel(70, 65), board.Buffer().pixel(70, 65));
    QTest::mouseMove(&board, QPoint(120, 100));
    EXPECT_EQ(DiffBox(Window(), board.Buffer()), QRect(QPoint(50, 50), QPoint(120, 100)));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(120, 100));

    EXPECT_EQ(requests, (std::vector<Request>{{dt41, QRect(QPoint(50, 50), QPoint(120, 100))}}));
    ASSERT_EQ(board.Items().Count(), 1);
    EXPECT_EQ(Edges(board.Items().Items(0)), QRect(QPoint(50, 50), QPoint(120, 100)));
    EXPECT_EQ(Window(), board.Buffer());
    EXPECT_TRUE(RedNear(board.Buffer(), 85, 50));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].what, "add");
    EXPECT_EQ(board.redraws, 1);  // only the set-up's
}

TEST_F(Board, ReleaseWithoutAMoveLeavesNoFrame)
{
    for (TDrawTool tool : {dt11, dtText, dtNone}) {
        board.SetDrawTool(tool);
        QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(100, 90));
        EXPECT_EQ(Window(), board.Buffer()) << int(tool);
    }
    EXPECT_EQ(Edges(board.Items().Items(0)), QRect(QPoint(30, 30), QPoint(100, 90)));
    EXPECT_EQ(board.Items().Items(2)->DrawTool(), dtNone);
}

TEST_F(Board, ClickSelectsRaisesBothNotificationsAndRedrawsOnce)
{
    TBoardItem* item = Place(dt41, {40, 40}, {100, 90});
    board.SetDrawTool(dtSelect);
    events.clear();
    const int redraws = board.redraws;

    Click({60, 60});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].what, "selected");
    EXPECT_EQ(events[1].what, "movesized");
    EXPECT_EQ(events[0].item, item);
    EXPECT_EQ(events[1].item, item);
    EXPECT_EQ(Edges(item), QRect(QPoint(40, 40), QPoint(100, 90)));
    EXPECT_EQ(board.redraws, redraws + 1);
    EXPECT_EQ(board.Selected(), 0);
    EXPECT_TRUE(HandlesShown());
    EXPECT_EQ(board.Graps().Handles(0)->geometry(), QRect(38, 38, 5, 5));
    EXPECT_EQ(board.Graps().Handles(3)->geometry(), QRect(98, 63, 5, 5));
    EXPECT_EQ(board.Graps().Handles(5)->geometry(), QRect(68, 88, 5, 5));
    EXPECT_EQ(Window(), board.Buffer());

    // Empty space clears the selection and tells nobody.
    events.clear();
    Click({200, 200});
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(board.Selected(), -1);
    EXPECT_FALSE(HandlesShown());
}

TEST_F(Board, DraggingMovesAllFourEdges)
{
    TBoardItem* item = Place(dt11, {40, 40}, {100, 90});
    board.SetDrawTool(dtSelect);
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(DiffBox(Window(), board.Buffer()), QRect(QPoint(40, 40), QPoint(100, 90)));
    QTest::mouseMove(&board, QPoint(70, 55));
    QTest::mouseMove(&board, QPoint(75, 53));
    EXPECT_EQ(DiffBox(Window(), board.Buffer()), QRect(QPoint(55, 33), QPoint(115, 83)));
    EXPECT_FALSE(HandlesShown());
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(75, 53));
    EXPECT_EQ(Edges(item), QRect(QPoint(55, 33), QPoint(115, 83)));
    EXPECT_EQ(Window(), board.Buffer());
    EXPECT_TRUE(HandlesShown());
    EXPECT_TRUE(RedNear(board.Buffer(), 85, 83));
}

TEST_F(Board, MovingOffTheBoardIsNotClamped)
{
    TBoardItem* item = Place(dt41, {10, 10}, {50, 50});
    board.SetDrawTool(dtSelect);
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(&board, QPoint(-20, 5));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(-20, 5));
    EXPECT_EQ(Edges(item), QRect(QPoint(-30, -5), QPoint(10, 35)));
    EXPECT_EQ(Window(), board.Buffer());
}

TEST_F(Board, HandlesMoveTheEdgesTheyOwn)
{
    const struct {
        int handle;
        QPoint by;
        QRect edges;
    } cases[] = {
        {0, {-5, -6}, QRect(QPoint(55, 44), QPoint(120, 100))}, {1, {7, -10}, QRect(QPoint(60, 40), QPoint(120, 100))},
        {2, {9, 4}, QRect(QPoint(60, 54), QPoint(129, 100))},   {3, {-80, 9}, QRect(QPoint(60, 50), QPoint(40, 100))},
        {4, {3, 5}, QRect(QPoint(60, 50), QPoint(123, 105))},   {5, {6, -70}, QRect(QPoint(60, 50), QPoint(120, 30))},
        {6, {-4, 8}, QRect(QPoint(56, 50), QPoint(120, 108))},  {7, {11, -3}, QRect(QPoint(71, 50), QPoint(120, 100))},
    };
    for (const auto& c : cases) {
        board.Items().Clear();
        TBoardItem* item = Place(dt41, {60, 50}, {120, 100});
        board.SetDrawTool(dtSelect);
        Click({90, 75});
        ASSERT_TRUE(HandlesShown());
        events.clear();

        QWidget* handle = board.Graps().Handles(c.handle);
        const QPoint grip = handle->geometry().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_FALSE(HandlesShown()) << c.handle;
        QTest::mouseMove(&board, grip + c.by / 2);
        QTest::mouseMove(&board, grip + c.by);
        EXPECT_EQ(DiffBox(Window(), board.Buffer()), c.edges.normalized()) << c.handle;
        QTest::mouseRelease(&board, Qt::LeftButton, {}, grip + c.by);

        EXPECT_EQ(Edges(item), c.edges) << c.handle;
        EXPECT_EQ(Window(), board.Buffer()) << c.handle;
        ASSERT_EQ(events.size(), 2u) << c.handle;
        EXPECT_EQ(events[0].what, "selected");
        EXPECT_EQ(events[1].what, "movesized");
        EXPECT_TRUE(HandlesShown()) << c.handle;
        const QPoint centres[8] = {
            {item->Left(), item->Top()},     {item->Left() + (item->Right() - item->Left()) / 2, item->Top()},
            {item->Right(), item->Top()},    {item->Right(), item->Top() + (item->Bottom() - item->Top()) / 2},
            {item->Right(), item->Bottom()}, {item->Left() + (item->Right() - item->Left()) / 2, item->Bottom()},
            {item->Left(), item->Bottom()},  {item->Left(), item->Top() + (item->Bottom() - item->Top()) / 2}};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(board.Graps().Handles(i)->geometry().center(), centres[i]) << c.handle << " " << i;
    }
}

TEST_F(Board, CrossedItemIsStillFoundInsideItsBox)
{
    TBoardItem* item = Place(dt41, {60, 50}, {120, 100});
    board.SetDrawTool(dtSelect);
    Click({90, 75});
    QWidget* handle = board.Graps().Handles(3);
    const QPoint grip = handle->geometry().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(&board, grip + QPoint(-90, 0));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, grip + QPoint(-90, 0));
    ASSERT_GT(item->Left(), item->Right());

    Click({200, 200});
    ASSERT_EQ(board.Selected(), -1);
    events.clear();
    Click({45, 60});
    EXPECT_EQ(board.Selected(), 0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].item, item);
}

TEST_F(Board, ToolChangesHideTheHandles)
{
    Place(dt41, {60, 50}, {120, 100});
    board.SetDrawTool(dtSelect);
    Click({90, 75});
    ASSERT_TRUE(HandlesShown());
    board.SetDrawTool(dt11);
    EXPECT_EQ(board.Selected(), -1);
    EXPECT_FALSE(HandlesShown());
    board.SetDrawTool(dtSelect);
    EXPECT_FALSE(HandlesShown());
    Click({90, 75});
    EXPECT_TRUE(HandlesShown());
}

TEST_F(Board, DeletingOrClearingDropsTheSelectionUnlessCancelled)
{
    Place(dt41, {60, 50}, {120, 100});
    Place(dt41, {150, 50}, {200, 100});
    board.SetDrawTool(dtSelect);
    Click({90, 75});
    board.OnItemDelete = [](TBoardHost*, TBoardItem*, bool& allow) { allow = false; };
    board.Items().Delete(0);
    EXPECT_EQ(board.Selected(), 0);
    EXPECT_TRUE(HandlesShown());
    board.OnItemDelete = nullptr;
    board.Items().Delete(0);
    EXPECT_EQ(board.Selected(), -1);
    EXPECT_FALSE(HandlesShown());
    EXPECT_FALSE(RedNear(board.Buffer(), 60, 75));
    EXPECT_TRUE(RedNear(board.Buffer(), 150, 75));
    board.Items().Clear();
    EXPECT_FALSE(RedNear(board.Buffer(), 150, 75));
}

TEST_F(Board, LockedBoardSelectsNothingButStillAsksToPlace)
{
    TBoardItem* item = Place(dt41, {60, 50}, {120, 100});
    board.SetDrawTool(dtNone);
    board.SetLocked(true);
    events.clear();

    // The tool the frame left before locking still places.
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(10, 150));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(40, 200));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], (Request{dtNone, QRect(QPoint(10, 150), QPoint(40, 200))}));
    ASSERT_EQ(board.Items().Count(), 2);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].what, "add");

    board.SetDrawTool(dt11);
    EXPECT_EQ(board.DrawTool(), dtSelect);
    events.clear();
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(90, 75));
    QTest::mouseMove(&board, QPoint(100, 85));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(100, 85));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(board.Selected(), -1);
    EXPECT_FALSE(HandlesShown());
    EXPECT_EQ(Edges(item), QRect(QPoint(60, 50), QPoint(120, 100)));
    EXPECT_EQ(Window(), board.Buffer());
}

TEST_F(Board, DefaultTextsTakenWhileRedrawingLeaveACleanPicture)
{
    board.Items().BeginUpdate();
    for (TDrawTool tool : {dtText, dt44, dtNumber, dt45}) {
        auto item = std::make_unique<TBoardItem>();
        const int top = 10 + 50 * board.Items().Count();
        item->SetBounds(10, top, 150, top + 40);
        item->SetDrawTool(tool);
        board.Items().Add(std::move(item));
    }
    board.Items().EndUpdate();
    board.Items().Items(1)->SetStrings(QStringLiteral("다른 글"));  // replaced at its next drawing
    const QImage settled = board.Buffer();

    EXPECT_EQ(board.Items().Items(0)->Strings(), QStringLiteral("input Text"));
    EXPECT_EQ(board.Items().Items(1)->Strings(), QStringLiteral("?"));
    EXPECT_EQ(board.Items().Items(2)->Strings(), QStringLiteral("(1)"));
    EXPECT_EQ(board.Items().Items(3)->Strings(), QStringLiteral("◎"));
    board.Redraw();
    EXPECT_EQ(board.Buffer(), settled);
    EXPECT_EQ(Window(), board.Buffer());
}

TEST_F(Board, BoardColourRedrawsOnlyWhenItChanges)
{
    board.resize(320, 260);
    board.SetBoardColor(Qt::white);
    EXPECT_EQ(board.Buffer().size(), QSize(300, 240));
    const int redraws = board.redraws;
    board.SetBoardColor(QColor(0, 0, 255));
    EXPECT_EQ(board.redraws, redraws + 1);
    EXPECT_EQ(board.Buffer().size(), QSize(320, 260));
    EXPECT_EQ(board.Buffer().pixel(310, 250), qRgb(0, 0, 255));
    EXPECT_EQ(board.Buffer().pixel(10, 10), qRgb(250, 250, 200));
}

TEST_F(Board, HoverShowsTheHandOnlyOverItemsWithTheSelectionTool)
{
    Place(dt41, {60, 50}, {120, 100});
    board.SetDrawTool(dtSelect);
    QTest::mouseMove(&board, QPoint(90, 75));
    EXPECT_EQ(board.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&board, QPoint(200, 200));
    EXPECT_EQ(board.cursor().shape(), Qt::ArrowCursor);
    board.SetDrawTool(dt11);
    QTest::mouseMove(&board, QPoint(90, 75));
    EXPECT_EQ(board.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(board.Graps().Handles(1)->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(board.Graps().Handles(7)->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(board.Graps().Handles(4)->cursor().shape(), Qt::CrossCursor);
}

TEST_F(Board, WindowCanvasKeepsTheFontOfTheLastItemAdded)
{
    Place(dt44, {10, 10}, {80, 40});
    EXPECT_EQ(board.Canvas().Font.pixelSize(), 21);
    EXPECT_TRUE(board.Canvas().Font.bold());
    Place(dt11, {100, 10}, {140, 40});
    EXPECT_EQ(board.Canvas().Font.pixelSize(), 13);
    EXPECT_FALSE(board.Canvas().Font.bold());
    EXPECT_EQ(board.Canvas().PenMode, TPenMode::Copy);
}

TEST(BoardKeys, EveryKeyReachesTheOwnerAndTheFocusStays)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* board = new TSorBoard;
    auto* edit = new QLineEdit;
    auto* ok = new QPushButton(QStringLiteral("OK"));
    layout->addWidget(board);
    layout->addWidget(edit);
    layout->addWidget(ok);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    int shortcuts = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Left), &dialog);
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++shortcuts; });
    std::vector<int> keys;
    board->OnKeyDown = [&](TSorCustomBoard*, int& key, Qt::KeyboardModifiers) { keys.push_back(key); };

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    board->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), board);

    const std::vector<int> pressed = {Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,
                                      Qt::Key_Down, Qt::Key_Return,  Qt::Key_Escape, Qt::Key_Delete};
    for (int key : pressed) {
        QTest::keyClick(board, Qt::Key(key));
        EXPECT_EQ(QApplication::focusWidget(), board) << key;
    }
    EXPECT_EQ(keys, pressed);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(shortcuts, 0);
}
