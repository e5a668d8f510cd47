#include "correction/BoardPage.h"

#include "board/SorBoard.h"

#include <QScopeGuard>
#include <limits>

namespace BoardPage {

QList<CorrectionRecord::MarkRow> Marks(const TBoardItems& items)
{
    QList<CorrectionRecord::MarkRow> marks;
    marks.reserve(items.Count());
    for (int i = 0; i < items.Count(); ++i) {
        const TBoardItem* item = items.Items(i);
        CorrectionRecord::MarkRow mark;
        mark.top = item->Top();
        mark.left = item->Left();
        mark.bottom = item->Bottom();
        mark.right = item->Right();
        mark.fontSize = item->FontSize();
        mark.fontName = item->FontName();
        mark.fontColor = item->FontColor();
        mark.strings = item->Strings();
        mark.drawTool = item->DrawTool();
        mark.key = item->Key();
        mark.reportPoint = item->ReportPoint();
        marks.append(mark);
    }
    return marks;
}

void Restore(TSorCustomBoard& board, const QList<CorrectionRecord::MarkRow>& marks)
{
    board.Items().Clear();
    const TBoardItemEvent placed = board.OnItemAdd;
    board.OnItemAdd = nullptr;
    const auto reattach = qScopeGuard([&] { board.OnItemAdd = placed; });
    for (const CorrectionRecord::MarkRow& mark : marks) {
        auto item = std::make_unique<TBoardItem>();
        item->SetTop(mark.top);
        item->SetLeft(mark.left);
        item->SetBottom(mark.bottom);
        item->SetRight(mark.right);
        item->SetFontSize(mark.fontSize);
        item->SetFontName(mark.fontName);
        item->SetFontColor(mark.fontColor);
        item->SetStrings(mark.strings);
        const bool known = mark.drawTool >= 0 && mark.drawTool <= std::numeric_limits<quint8>::max();
        item->SetDrawTool(known ? TDrawTool(mark.drawTool) : dtNone);
        item->SetKey(mark.key);
        item->SetReportPoint(mark.reportPoint);
        board.Items().Add(std::move(item));
    }
    board.Redraw();
}

}
