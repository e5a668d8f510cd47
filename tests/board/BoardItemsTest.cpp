#include "FakeBoard.h"
#include "Pixels.h"

#include "board/BoardItems.h"
#include "core/AppError.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<TBoardItem> StoredItem(TDrawTool tool, QRect box, const QString& text = {})
{
    auto item = std::make_unique<TBoardItem>();
    item->SetBounds(box.left(), box.top(), box.right(), box.bottom());
    item->SetDrawTool(tool);
    item->SetStrings(text);
    return item;
}

}  // namespace

// Stored corrections and the palette's Tags carry these ordinals.
static_assert(dtNone == 0 && dtSelect == 1 && dt11 == 2 && dt13 == 4 && dt18 == 9 && dt21 == 10);
static_assert(dt27 == 16 && dt31 == 17 && dt35 == 21 && dt41 == 22 && dt44 == 25 && dt46 == 27);
static_assert(dtText == 28 && dtNumber == 29 && dtLeft == 30 && dtRight == 31 && sizeof(TDrawTool) == 1);

TEST(BoardItems, AddKeepsWhatWasStored)
{
    FakeBoard board;
    TBoardItem* item = board.items.Add(StoredItem(dt21, QRect(0, 0, 30, 30), QStringLiteral("살")));
    EXPECT_EQ(item->Strings(), QStringLiteral("살"));
    EXPECT_EQ(item->Number(), 0);
    EXPECT_EQ(item->Board(), &board);
}

TEST(BoardItems, AddDrawsOnceOnBothPicturesAndNotifiesWithTheFinishedItem)
{
    FakeBoard board;
    QString seen;
    int notified = 0;
    board.OnItemAdd = [&](TBoardHost* sender, TBoardItem* item) {
        EXPECT_EQ(sender, &board);
        EXPECT_EQ(board.items.Count(), 1);
        seen = item->Strings();
        ++notified;
    };
    board.items.Add(StoredItem(dtNumber, QRect(100, 100, 20, 20), QStringLiteral("(0)")));
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(seen, QStringLiteral("(0)"));
    EXPECT_EQ(board.redraws, 0);
    EXPECT_FALSE(DiffBox(board.screen, WhiteImage(300, 300)).isEmpty());
    EXPECT_EQ(board.screen, board.buffer);
}

TEST(BoardItems, AddLeavesTheWindowPenAsItWasButNotTheFont)
{
    FakeBoard board;
    board.canvas.PenColor = Qt::white;
    board.canvas.PenWidth = 1;
    board.items.Add(StoredItem(dt44, QRect(QPoint(10, 10), QPoint(60, 40))));
    EXPECT_EQ(board.canvas.PenColor, QColor(Qt::white));
    EXPECT_EQ(board.canvas.PenWidth, 1);
    EXPECT_TRUE(board.canvas.Font.bold());
    EXPECT_EQ(board.canvas.Font.pixelSize(), 21);
}

TEST(BoardItems, SettersRedrawOnlyOnChangeAndOnlyInAList)
{
    TBoardItem loose;
    loose.SetStrings(QStringLiteral("x"));  // no board: nobody to tell

    FakeBoard board;
    TBoardItem* item = board.items.Add(StoredItem(dt41, QRect(0, 0, 30, 30), QStringLiteral("가")));
    const int before = board.redraws;
    item->SetStrings(QStringLiteral("가"));
    item->SetLeft(item->Left());
    item->SetDrawTool(dt41);
    item->SetReportPoint(QString());
    EXPECT_EQ(board.redraws, before);

    item->SetStrings(QStringLiteral("나"));
    item->SetTop(5);
    item->SetFontName(QStringLiteral("굴림"));
    item->SetFontColor(255);
    item->SetFontSize(9);
    item->SetReportPoint(QStringLiteral("-3"));
    EXPECT_EQ(board.redraws, before + 6);
}

TEST(BoardItems, SetBoundsIsOneRedrawEvenWithoutChange)
{
    FakeBoard board;
    TBoardItem* item = board.items.Add(StoredItem(dt11, QRect(0, 0, 30, 30)));
    board.redraws = 0;
    item->SetBounds(1, 2, 3, 4);
    EXPECT_EQ(board.redraws, 1);
    item->SetBounds(1, 2, 3, 4);
    EXPECT_EQ(board.redraws, 2);
    EXPECT_EQ(board.items.UpdateCount(), 0);
}

TEST(BoardItems, UpdateCountNeverGoesBelowZero)
{
    FakeBoard board;
    board.items.EndUpdate();
    EXPECT_EQ(board.items.UpdateCount(), 0);
    board.items.BeginUpdate();
    board.items.BeginUpdate();
    board.items.Changed();
    EXPECT_EQ(board.redraws, 0);
    board.items.EndUpdate();
    board.items.EndUpdate();
    board.items.Changed();
    EXPECT_EQ(board.redraws, 1);
}

TEST(BoardItems, DeleteAndClearCanBeCancelled)
{
    FakeBoard board;
    for (int i = 0; i < 3; ++i)
        board.items.Add(StoredItem(dt11, QRect(i * 30, 0, 20, 20)));
    TBoardItem* second = board.items.Items(1);
    bool allow = false;
    TBoardItem* asked = nullptr;
    board.OnItemDelete = [&](TBoardHost*, TBoardItem* item, bool& del) {
        EXPECT_TRUE(del);
        asked = item;
        del = allow;
    };
    board.OnItemClear = [&](TBoardHost*, bool& clear) {
        EXPECT_TRUE(clear);
        clear = allow;
    };
    board.redraws = 0;

    board.items.Delete(1);
    board.items.Clear();
    EXPECT_EQ(asked, second);
    EXPECT_EQ(board.items.Count(), 3);
    EXPECT_EQ(board.unselects, 0);
    EXPECT_EQ(board.redraws, 0);

    allow = true;
    board.items.Delete(1);
    EXPECT_EQ(board.items.Count(), 2);
    EXPECT_EQ(board.items.Items(1)->Left(), 60);
    EXPECT_EQ(board.unselects, 1);
    EXPECT_EQ(board.redraws, 1);
    board.items.Clear();
    EXPECT_EQ(board.items.Count(), 0);
    EXPECT_EQ(board.unselects, 2);
    EXPECT_EQ(board.redraws, 2);
}

TEST(BoardItems, IndexOutOfRangeIsRefusedAndChangesNothing)
{
    FakeBoard board;
    board.items.Add(StoredItem(dt11, QRect(0, 0, 20, 20)));
    int asked = 0;
    board.OnItemDelete = [&](TBoardHost*, TBoardItem*, bool&) { ++asked; };
    for (int index : {-1, 1, 7}) {
        try {
            board.items.Delete(index);
            ADD_FAILURE() << index;
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
        EXPECT_THROW(board.items.Items(index), AppError);
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(board.items.Count(), 1);
    EXPECT_EQ(board.unselects, 0);
}

TEST(BoardItems, HitTestTakesAllFourEdgesOfTheNormalisedBox)
{
    TBoardItem item;
    item.SetBounds(10, 20, 40, 60);
    TBoardItem crossed;  // edges crossed by a resize
    crossed.SetBounds(40, 60, 10, 20);
    const struct {
        QPoint point;
        bool hits;
    } cases[] = {
        {{10, 20}, true}, {{40, 60}, true},  {{40, 20}, true},  {{10, 60}, true},  {{25, 40}, true},
        {{9, 40}, false}, {{41, 40}, false}, {{25, 19}, false}, {{25, 61}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(item.HitTest(c.point), c.hits) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(crossed.HitTest(c.point), c.hits) << c.point.x() << "," << c.point.y();
    }
}

TEST(BoardItems, TheTopmostItemIsFound)
{
    FakeBoard board;
    EXPECT_EQ(board.items.ItemAt({5, 5}), -1);
    board.items.Add(StoredItem(dt11, QRect(QPoint(0, 0), QPoint(50, 50))));
    board.items.Add(StoredItem(dt41, QRect(QPoint(30, 30), QPoint(80, 80))));
    board.items.Add(StoredItem(dt16, QRect(QPoint(200, 200), QPoint(220, 220))));
    EXPECT_EQ(board.items.ItemAt({40, 40}), 1);
    EXPECT_EQ(board.items.ItemAt({10, 10}), 0);
    EXPECT_EQ(board.items.ItemAt({80, 80}), 1);
    EXPECT_EQ(board.items.ItemAt({81, 80}), -1);
}
