#include "Essays.h"
#include "correction/BoardHistory.h"

#include <gtest/gtest.h>

#include <functional>

// Undo and redo of the board as commands on the history and the session, without widgets.

namespace {

using CorrectionRecord::MarkRow;

// What the correction frame does around the history: the page shown, its marks and comment,
// each action recorded, and undo and redo shown.
struct Board {
    BoardHistory history;
    int page = 0;
    QList<MarkRow> marks;
    QString comment;

    Board() { history.Show(0, {}); }

    void Edit(const QList<MarkRow>& now, const QString& commentNow)
    {
        const QString before = comment;
        marks = now;
        comment = commentNow;
        history.Record(marks, before, comment);
    }
    void Edit(const QList<MarkRow>& now) { Edit(now, comment); }
    bool Show(const std::optional<BoardHistory::Change>& change)
    {
        if (!change)
            return false;
        marks = change->marks;
        if (change->comment)
            comment = *change->comment;
        return true;
    }
    bool Undo() { return Show(history.Undo(comment)); }
    bool Redo() { return Show(history.Redo(comment)); }
    // The pages keep what they hold; the board shows the other one.
    void Turn(int to, std::map<int, QList<MarkRow>>& stored)
    {
        stored[page] = marks;
        page = to;
        marks = stored[to];
        history.Show(to, marks);
    }
};

const MarkRow a = Essays::Mark(16, 100);
const MarkRow aMoved = Essays::Mark(16, 300);
const MarkRow b = Essays::Mark(11, 200);
const MarkRow number = Essays::Mark(32, 400, QStringLiteral("(1)"));

}

TEST(BoardHistory, UndoAndRedoTakeBackTheTeachersActions)
{
    const struct {
        const char* name;
        std::function<void(Board&)> act;
        QList<MarkRow> marks;
        QString comment;
    } cases[] = {
        {"place, move and delete, all undone",
         [](Board& t) {
             t.Edit({a});
             t.Edit({aMoved});
             t.Edit({aMoved, b});
             t.Edit({b});
             for (int i = 0; i < 4; ++i)
                 EXPECT_TRUE(t.Undo());
             EXPECT_FALSE(t.Undo()) << "nothing before the page was shown";
         },
         {},
         {}},
        {"undo then redo of a move",
         [](Board& t) {
             t.Edit({a});
             t.Edit({aMoved});
             t.Undo();
             EXPECT_EQ(t.marks, QList<MarkRow>{a});
             t.Redo();
             EXPECT_FALSE(t.Redo());
         },
         {aMoved},
         {}},
        {"a new action drops the steps undone",
         [](Board& t) {
             t.Edit({a});
             t.Edit({a, b});
             t.Undo();
             t.Edit({aMoved});
             EXPECT_FALSE(t.Redo());
         },
         {aMoved},
         {}},
        {"an action that changed nothing is no step",
         [](Board& t) {
             t.Edit({a});
             t.Edit({a});
             t.Undo();
         },
         {},
         {}},
        {"a number's line in the comment goes and comes back with its item",
         [](Board& t) {
             t.Edit({a}, QStringLiteral("평"));
             t.Edit({a, number}, QStringLiteral("평\r\n(1)"));
             t.Undo();
             EXPECT_EQ(t.comment, QStringLiteral("평"));
             t.Redo();
         },
         {a, number},
         QStringLiteral("평\r\n(1)")},
        {"a comment typed into since the number was placed is kept",
         [](Board& t) {
             t.Edit({number}, QStringLiteral("(1)"));
             t.comment = QStringLiteral("(1 좋은 표현)");
             t.Undo();
         },
         {},
         QStringLiteral("(1 좋은 표현)")},
        {"each page keeps its history: undo acts on the page shown",
         [](Board& t) {
             std::map<int, QList<MarkRow>> stored;
             t.Edit({a});
             t.Edit({aMoved});
             t.Turn(1, stored);
             t.Edit({b});
             t.Turn(0, stored);
             t.Undo();
             EXPECT_EQ(t.marks, QList<MarkRow>{a});
             t.Turn(1, stored);
             t.Undo();
             EXPECT_TRUE(t.marks.isEmpty());
             EXPECT_FALSE(t.Undo());
             t.Turn(0, stored);
             t.Redo();
         },
         {aMoved},
         {}},
    };
    for (const auto& c : cases) {
        Board board;
        c.act(board);
        EXPECT_EQ(board.marks, c.marks) << c.name;
        EXPECT_EQ(board.comment, c.comment) << c.name;
    }
}

TEST(BoardHistory, SavedPointIsReachedAgainByUndoAndLostByANewStep)
{
    BoardHistory history;
    history.Show(0, {});
    history.Record({a}, {}, {});
    history.MarkSaved();
    EXPECT_TRUE(history.AtSaved());
    history.Record({aMoved}, {}, {});
    EXPECT_FALSE(history.AtSaved());
    history.Undo({});
    EXPECT_TRUE(history.AtSaved());
    history.Undo({});
    EXPECT_FALSE(history.AtSaved());
    history.Record({b}, {}, {});  // the saved state can no longer be reached
    history.Undo({});
    EXPECT_FALSE(history.AtSaved());
    history.Show(1, {});
    history.Record({a}, {}, {});
    history.Clear();
    EXPECT_TRUE(history.AtSaved()) << "a new correction is its own saved point";
}
