#include "FakeHost.h"
#include "SheetText.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// The sheet's cells without the blank lines after the last written one: growing the sheet
// for the caret is no change of the essay.
QList<QString> written(QList<QString> cells)
{
    const qsizetype width = ManuscriptGrid::kStoredColumns;
    while (!cells.isEmpty()
           && std::all_of(cells.end() - width, cells.end(), [](const QString& text) { return text.isEmpty(); }))
        cells.resize(cells.size() - width);
    return cells;
}

QList<QString> cellsOf(const ManuscriptGrid& grid)
{
    QList<QString> cells;
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 1; column <= ManuscriptGrid::kStoredColumns; ++column)
            cells.append(grid.cell(line, column));
    return cells;
}

int undoAll(FakeHost& host)
{
    int steps = 0;
    while (host.engine.history().CanUndo() && steps < 100000) {
        host.engine.Undo();
        ++steps;
    }
    return steps;
}

}

TEST(CellEditorHistory, StepsAreTheStudentsActions)
{
    const QString full0 = SheetText::syllables(0, 20);
    const struct {
        const char* name;
        QString line0;
        CellPos caret;
        std::function<void(FakeHost&)> act;
        int undos;
        QStringList afterUndo;
        CellPos caretAfterUndo;
    } cases[] = {
        {"each syllable is a step",
         {},
         {0, 1},
         [](FakeHost& h) { typeHangul(h, QStringLiteral("가나다"), HangulPath::CommitWithNextPreedit); },
         1,
         {"0: 가나"},
         {0, 3}},
        {"every input-method order gives one step a syllable",
         {},
         {0, 1},
         [](FakeHost& h) { typeHangul(h, QStringLiteral("가나다"), HangulPath::PreeditClearedBeforeCommit); },
         2,
         {"0: 가"},
         {0, 2}},
        {"a half-width pair in one cell is one step",
         {},
         {0, 1},
         [](FakeHost& h) { h.type("abc"); },
         1,
         {"0: [ab]"},
         {0, 2}},
        {"undo of a syllable typed into the middle moves the text back",
         full0,
         {0, 3},
         [](FakeHost& h) { typeHangul(h, QStringLiteral("가"), HangulPath::CommitOnly); },
         1,
         {"0: " + full0},
         {0, 3}},
        {"each backspace is a step",
         QStringLiteral("가나다"),
         {0, 4},
         [](FakeHost& h) { h.type("\b\b\b"); },
         2,
         {"0: 가나"},
         {0, 3}},
        {"delete is a step",
         QStringLiteral("가나다"),
         {0, 1},
         [](FakeHost& h) { h.press(Qt::Key_Delete); },
         1,
         {"0: 가나다"},
         {0, 1}},
        {"enter brings its lines back together",
         QStringLiteral("가나다라"),
         {0, 3},
         [](FakeHost& h) { h.type("\r"); },
         1,
         {"0: 가나다라"},
         {0, 3}},
        {"enter after the last line is a step though it writes no cell",
         QStringLiteral("가"),
         {0, 2},
         [](FakeHost& h) { h.type("\r\r"); },
         1,
         {"0: 가"},
         {1, 1}},
        {"caret keys are no step: undo goes back to the last change",
         {},
         {0, 1},
         [](FakeHost& h) {
             h.type("a");
             for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Insert})
                 h.press(key);
         },
         1,
         {},
         {0, 1}},
        {"undo while a syllable is composed drops that syllable only",
         {},
         {0, 1},
         [](FakeHost& h) {
             typeHangul(h, QStringLiteral("가"), HangulPath::CommitOnly);
             h.engine.InputMethod({}, QStringLiteral("ㄴ"));
         },
         1,
         {"0: 가"},
         {0, 2}},
        {"undo after the last commit of a composition takes its syllable",
         {},
         {0, 1},
         [](FakeHost& h) {
             h.engine.InputMethod({}, QStringLiteral("ㄱ"));
             h.engine.InputMethod({}, QStringLiteral("가"));
             h.engine.InputMethod({}, {});
             h.engine.InputMethod(QStringLiteral("가"), {});
         },
         1,
         {},
         {0, 1}},
    };
    for (const auto& c : cases) {
        FakeHost host;
        SheetText::setLine(host.grid, 0, c.line0);
        host.place(c.caret);
        c.act(host);
        const QList<QString> end = written(cellsOf(host.grid));
        for (int i = 0; i < c.undos; ++i)
            host.engine.Undo();
        EXPECT_EQ(SheetText::dump(host.grid), c.afterUndo) << c.name;
        EXPECT_EQ(host.pos, c.caretAfterUndo) << c.name << ": caret at " << host.pos.line << "," << host.pos.column;
        EXPECT_EQ(host.text, CellEditorEngine::TrimCell(host.grid.cell(host.pos.line, host.pos.column))) << c.name;
        while (host.engine.history().CanRedo())
            host.engine.Redo();
        EXPECT_EQ(written(cellsOf(host.grid)), end) << c.name << ": redo gives the end back";
    }
}

TEST(CellEditorHistory, ANewChangeDropsTheStepsUndoneAndAShownEssayStartsAfresh)
{
    FakeHost host;
    typeHangul(host, QStringLiteral("가나"), HangulPath::CommitOnly);
    host.engine.Undo();
    typeHangul(host, QStringLiteral("다"), HangulPath::CommitOnly);
    EXPECT_FALSE(host.engine.history().CanRedo());
    host.engine.Redo();
    EXPECT_EQ(SheetText::dump(host.grid), QStringList{"0: 가다"});

    host.grid.reset(21);
    EXPECT_FALSE(host.engine.history().CanUndo()) << "an essay shown is no step of the student";
    host.engine.Undo();
    EXPECT_TRUE(SheetText::dump(host.grid).isEmpty());
}

TEST(CellEditorHistory, StepsNeverApplyToASheetChangedBehindThem)
{
    FakeHost host;
    typeHangul(host, QStringLiteral("가나"), HangulPath::CommitOnly);
    host.grid.setCell(0, 2, QStringLiteral("다"));
    host.engine.Undo();
    EXPECT_EQ(SheetText::dump(host.grid), QStringList{"0: 가다"});
    EXPECT_FALSE(host.engine.history().CanUndo());
}

// Random typing from the cell editor's key alphabet over a written sheet, with undo and redo
// among the keys: undoing every step gives back the starting cells exactly, and redoing as
// many gives the end cells exactly.
TEST(CellEditorHistory, UndoAllAndRedoAllGiveTheStartAndTheEndOfRandomTyping)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const int arrows[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
        const auto pick = [&](int n) { return int(random() % unsigned(n)); };
        FakeHost host;
        for (int line = 0; line < 4; ++line)
            if (pick(2))
                SheetText::setLine(host.grid, line,
                                   SheetText::syllables(pick(500), 1 + pick(20)) + (pick(4) ? "" : "|."));
        host.place({pick(5), 1 + pick(21)});
        const QList<QString> start = cellsOf(host.grid);

        const int keys = 20 + pick(40);
        for (int i = 0; i < keys; ++i) {
            switch (pick(16)) {
            case 0:
                host.type(QString(QChar(u'a' + pick(3))));
                break;
            case 1:
                host.type(QString(QChar(u'0' + pick(10))));
                break;
            case 2:
                host.type(QString(QChar("A.,?!"[pick(5)])));
                break;
            case 3:
                host.type(" ");
                break;
            case 4:
            case 5:
                host.type("\b");
                break;
            case 6:
                host.type("\r");
                break;
            case 7:
                host.press(Qt::Key_Delete);
                break;
            case 8:
                host.press(arrows[pick(4)]);
                break;
            case 9:
                if (pick(4) == 0)
                    host.press(Qt::Key_Insert);
                break;
            case 10:
            case 11:
                typeHangul(host, SheetText::syllables(pick(500), 1 + pick(3)), HangulPath(pick(4)));
                break;
            case 12:
                host.engine.InputMethod({}, QStringLiteral("ㄱ"));
                if (pick(2))
                    host.engine.Undo();
                else
                    host.engine.InputMethod({}, {});
                break;
            case 13:
            case 14:
                host.engine.Undo();
                break;
            case 15:
                host.engine.Redo();
                break;
            }
        }
        host.press(Qt::Key_End);  // ends a composition still pending
        const QList<QString> end = cellsOf(host.grid);
        const bool couldRedo = host.engine.history().CanRedo();

        const int undone = undoAll(host);
        ASSERT_EQ(written(cellsOf(host.grid)), written(start)) << "seed " << seed << ": undo all";
        for (int i = 0; i < undone; ++i)
            host.engine.Redo();
        ASSERT_EQ(written(cellsOf(host.grid)), written(end)) << "seed " << seed << ": redo all";
        EXPECT_EQ(host.engine.history().CanRedo(), couldRedo) << "seed " << seed;
    }
}

// Undo keeps a bounded amount of the sheet: typed at the start of a long full essay, every
// step holds the whole essay twice, and the oldest steps go. What is kept still undoes
// exactly.
TEST(CellEditorHistory, TheOldestStepsGoOnceTheHistoryIsFull)
{
    FakeHost host(1000);
    for (int line = 0; line < 1000; ++line)
        SheetText::setLine(host.grid, line, SheetText::syllables(line * 20, 20));
    host.place({0, 1});
    const qsizetype stepBytes = 2 * qsizetype(host.grid.lineCount()) * ManuscriptGrid::kStoredColumns * 8;
    const int typed = int(PaperHistory::kKeptBytes / stepBytes) + 20;
    for (int i = 0; i < typed; ++i) {
        typeHangul(host, QStringLiteral("가"), HangulPath::CommitOnly);
        host.place({0, 1});
    }
    const int undone = undoAll(host);
    EXPECT_LT(undone, typed);
    EXPECT_GT(undone, typed - 40);
    EXPECT_EQ(host.grid.cell(0, 1), QStringLiteral("가")) << "the syllables of the steps dropped stay";
    EXPECT_EQ(host.grid.cell(0, typed - undone + 1), SheetText::syllables(0, 1)) << "the essay follows them";
}
