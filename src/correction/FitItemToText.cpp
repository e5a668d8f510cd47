#include "correction/FitItemToText.h"

#include "board/BoardItem.h"
#include "board/TCanvas.h"
#include "text/Cp949.h"

#include <QStringList>

void FitItemToText(TBoardItem& item, const TCanvas& canvas)
{
    QStringList lines = item.Strings().split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return;
    QString longest = lines.first();
    for (const QString& line : lines)
        if (Cp949::byteLength(line) > Cp949::byteLength(longest))
            longest = line;
    const int width = canvas.TextWidth(longest) + 4;
    const int height = canvas.TextHeight(longest) * int(lines.size()) + 4;
    item.SetBounds(item.Left(), item.Top(), item.Left() + width, item.Top() + height);
}
