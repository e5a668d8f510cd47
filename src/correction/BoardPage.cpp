#include "correction/BoardPage.h"

#include "board/SorBoard.h"

#include <limits>

namespace {

void Assign(TBoardItem& item, const CorrectionRecord::MarkRow& mark)
{
    item.SetBounds(mark.left, mark.top, mark.right, mark.bottom);
    item.SetFontSize(mark.fontSize);
    item.SetFontName(mark.fontName);
    item.SetFontColor(mark.fontColor);
    item.SetStrings(mark.strings);
    const bool known = mark.drawTool >= 0 && mark.drawTool <= std::numeric_limits<quint8>::max();
    item.SetDrawTool(known ? TDrawTool(mark.drawTool) : dtNone);
    item.SetKey(mark.key);
    item.SetReportPoint(mark.reportPoint);
}

std::unique_ptr<TBoardItem> NewItem(const CorrectionRecord::MarkRow& mark)
{
    auto item = std::make_unique<TBoardItem>();
    Assign(*item, mark);
    return item;
}

}

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
    TBoardItems& items = board.Items();
    items.Clear();
    {
        TBoardItems::UpdateHold hold(items);
        for (const CorrectionRecord::MarkRow& mark : marks)
            items.Add(NewItem(mark));
    }
    board.Redraw();
}

void Show(TSorCustomBoard& board, const QList<CorrectionRecord::MarkRow>& marks)
{
    TBoardItems& items = board.Items();
    while (items.Count() > marks.size())
        items.Delete(items.Count() - 1);
    {
        TBoardItems::UpdateHold hold(items);
        for (int i = 0; i < items.Count(); ++i)
            Assign(*items.Items(i), marks[i]);
    }
    board.Redraw();
    for (int i = items.Count(); i < marks.size(); ++i)
        items.Add(NewItem(marks[i]));
    if (board.Selected() >= 0)
        board.Graps().PlaceAround(*items.Items(board.Selected()));
}

QImage DrawMarks(QImage page, const QList<CorrectionRecord::MarkRow>& marks)
{
    TCanvas canvas(page);
    canvas.Lock();
    for (const CorrectionRecord::MarkRow& mark : marks)
        NewItem(mark)->Draw(canvas);
    canvas.Unlock();
    return page;
}

}
