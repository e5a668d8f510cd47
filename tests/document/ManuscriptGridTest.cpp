#include "core/AppError.h"
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

TEST(ManuscriptGrid, StreamMovesTheRestOfTheSheetByCellsWithOneAnnouncement)
{
    const auto period = [](const QString& item) { return item == QLatin1String("."); };
    const auto row = [](const ManuscriptGrid& g, int line) {
        QString text;
        for (int column = 1; column <= 21; ++column)
            text += g.isBlank(line, column) ? QStringLiteral("_") : g.cell(line, column);
        return text;
    };
    ManuscriptGrid grid(2);
    for (int column = 1; column <= 20; ++column)
        grid.setCell(0, column, QString(QChar(u'a' + column - 1)));
    grid.setCell(1, 1, QStringLiteral("."));
    grid.setCell(1, 2, QStringLiteral("x"));
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);

    const auto blanks = [](int n) { return QString(n, u'_'); };
    grid.removeStreamCells(0, 21, 1, period);
    EXPECT_EQ(row(grid, 0), QStringLiteral("abcdefghijklmnopqrst.")) << "a period is pulled into the margin";
    EXPECT_EQ(row(grid, 1), QStringLiteral("x") + blanks(20));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), grid.index(0, 1));
    EXPECT_EQ(changed[0][1].toModelIndex(), grid.index(1, 21));

    grid.openStreamCell(0, 1, period);
    EXPECT_EQ(row(grid, 0), QStringLiteral("_abcdefghijklmnopqrs_"));
    EXPECT_EQ(row(grid, 1), QStringLiteral("t.x") + blanks(18)) << "the margin item moves on with the rest";
    EXPECT_EQ(changed.size(), 2);

    grid.setCell(1, 20, QStringLiteral("z"));
    grid.setCell(1, 21, QStringLiteral("?"));
    grid.openStreamCell(0, 2, period);
    ASSERT_EQ(grid.lineCount(), 3) << "text pushed past the last line adds a line";
    EXPECT_EQ(row(grid, 1), QStringLiteral("st.x") + blanks(17));
    EXPECT_EQ(row(grid, 2), QStringLiteral("z?") + blanks(19));

    grid.removeStreamCells(0, 1, 100, period);
    for (int line = 0; line < grid.lineCount(); ++line)
        EXPECT_EQ(row(grid, line), QString(21, u'_')) << line;
    EXPECT_THROW(grid.openStreamCell(3, 1, period), AppError);
}
