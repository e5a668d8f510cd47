#include "common/AppError.h"
#include "document/ManuscriptGrid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(ManuscriptGrid, ShowsTheLineCounterInColumnZeroEveryTenLines)
{
    ManuscriptGrid grid(31);
    EXPECT_EQ(grid.columnCount(), 22);
    EXPECT_EQ(grid.rowCount(), 31);
    const struct {
        int line;
        const char* text;
    } cases[] = {{0, "0"}, {1, ""}, {9, ""}, {10, "200"}, {20, "400"}, {30, "600"}};
    for (const auto& c : cases) {
        EXPECT_EQ(grid.cell(c.line, 0), QString::fromLatin1(c.text)) << c.line;
        EXPECT_EQ(grid.data(grid.index(c.line, 0)).toString(), QString::fromLatin1(c.text)) << c.line;
    }
    EXPECT_THROW(grid.setCell(0, 0, "x"), AppError);
}

TEST(ManuscriptGrid, SetsCellsAndAnnouncesOnlyRealChanges)
{
    ManuscriptGrid grid(21);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    grid.setCell(3, 21, QStringLiteral("."));
    grid.setCell(3, 21, QStringLiteral("."));
    grid.setCell(4, 1, QStringLiteral("가"));
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex(), grid.index(3, 21));
    EXPECT_EQ(grid.data(grid.index(4, 1)).toString(), QStringLiteral("가"));
    EXPECT_TRUE(grid.isBlank(0, 1));
    grid.setCell(0, 1, QStringLiteral(" "));
    EXPECT_TRUE(grid.isBlank(0, 1));
    EXPECT_FALSE(grid.isBlank(4, 1));

    for (auto [line, column] : {std::pair{21, 1}, {-1, 1}, {0, 22}, {0, -1}})
        EXPECT_THROW(grid.setCell(line, column, "a"), AppError) << line << "," << column;
    EXPECT_THROW(grid.setCell(0, 1, "a\r\nb"), AppError) << "a line break would shift the column when stored";
}

TEST(ManuscriptGrid, InsertsAndRemovesLinesKeepingTheCellsAroundThem)
{
    ManuscriptGrid grid(3);
    for (int line = 0; line < 3; ++line)
        grid.setCell(line, 1, QString::number(line));
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&grid, &QAbstractItemModel::rowsRemoved);

    grid.insertLines(1, 2);
    ASSERT_EQ(grid.lineCount(), 5);
    EXPECT_EQ(inserted.size(), 1);
    const QStringList afterInsert{grid.cell(0, 1), grid.cell(1, 1), grid.cell(2, 1), grid.cell(3, 1), grid.cell(4, 1)};
    EXPECT_EQ(afterInsert, (QStringList{"0", "", "", "1", "2"}));

    grid.removeLines(0, 2);
    EXPECT_EQ(removed.size(), 1);
    EXPECT_EQ(grid.lineCount(), 3);
    EXPECT_EQ(grid.cell(1, 1), QStringLiteral("1"));

    grid.setLineCount(25);
    EXPECT_EQ(grid.lineCount(), 25);
    EXPECT_TRUE(grid.isBlank(24, 21));
    grid.setLineCount(2);
    EXPECT_EQ(grid.cell(1, 1), QStringLiteral("1"));
    EXPECT_THROW(grid.removeLines(1, 2), AppError);
    EXPECT_THROW(grid.insertLines(3, 1), AppError);
}

TEST(ManuscriptGrid, BatchAnnouncesItsChangesOnceOverTheLinesTouched)
{
    ManuscriptGrid grid(30);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    {
        ManuscriptGrid::Batch outer(grid);
        grid.setCell(12, 5, QStringLiteral("가"));
        {
            ManuscriptGrid::Batch inner(grid);
            grid.setCell(4, 21, QStringLiteral("."));
            grid.setCell(20, 1, QStringLiteral("a"));
        }
        grid.setCell(7, 3, QStringLiteral("b"));
        EXPECT_EQ(changed.size(), 0) << "nothing is announced while a batch lives";
        EXPECT_EQ(grid.cell(4, 21), QStringLiteral(".")) << "the cells change at once";
    }
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), grid.index(4, 1));
    EXPECT_EQ(changed[0][1].toModelIndex(), grid.index(20, 21));

    {
        ManuscriptGrid::Batch unchanged(grid);
        grid.setCell(12, 5, QStringLiteral("가"));
    }
    EXPECT_EQ(changed.size(), 1) << "a batch without real changes says nothing";

    {
        ManuscriptGrid::Batch shrinking(grid);
        grid.setCell(25, 1, QStringLiteral("x"));
        grid.setCell(2, 1, QStringLiteral("y"));
        grid.setLineCount(10);
    }
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][1].toModelIndex(), grid.index(9, 21)) << "lines removed meanwhile are left out";
}
