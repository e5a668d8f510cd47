#include "writing/SheetSnapshot.h"

#include "document/ManuscriptGrid.h"
#include "writing/CellEditorEngine.h"

SheetSnapshot SheetSnapshot::of(const ManuscriptGrid& grid)
{
    SheetSnapshot sheet;
    // Lines after the last written one are never read by the checks.
    int lines = grid.lineCount();
    while (lines > 0) {
        bool blank = true;
        for (int column = 1; column <= kWidth && blank; ++column)
            blank = grid.isBlank(lines - 1, column);
        if (!blank)
            break;
        --lines;
    }
    sheet.cells_.reserve(qsizetype(lines) * kWidth);
    for (int line = 0; line < lines; ++line)
        for (int column = 1; column <= kWidth; ++column)
            sheet.cells_.append(grid.isBlank(line, column) ? QString()
                                                           : CellEditorEngine::TrimCell(grid.cell(line, column)));
    return sheet;
}

SheetSnapshot SheetSnapshot::fromLines(const QList<QStringList>& lines)
{
    SheetSnapshot sheet;
    sheet.cells_.reserve(lines.size() * kWidth);
    for (const QStringList& line : lines)
        for (int column = 1; column <= kWidth; ++column)
            sheet.cells_.append(column <= line.size() ? CellEditorEngine::TrimCell(line[column - 1]) : QString());
    return sheet;
}

bool SheetSnapshot::lineHasText(int line) const
{
    for (int column = 1; column <= 20; ++column)
        if (!isBlank(line, column))
            return true;
    return false;
}
