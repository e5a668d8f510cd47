#include "board/BoardItem.h"

#include "board/BoardHost.h"
#include "board/BoardItems.h"

#include <algorithm>
#include <optional>

template <typename T>
void TBoardItem::Assign(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TBoardItem::SetLeft(qint32 value)
{
    Assign(FLeft, value);
}
void TBoardItem::SetTop(qint32 value)
{
    Assign(FTop, value);
}
void TBoardItem::SetRight(qint32 value)
{
    Assign(FRight, value);
}
void TBoardItem::SetBottom(qint32 value)
{
    Assign(FBottom, value);
}
void TBoardItem::SetFontSize(qint32 value)
{
    Assign(FFontSize, value);
}
void TBoardItem::SetFontName(const QString& value)
{
    Assign(FFontName, value);
}
void TBoardItem::SetFontColor(qint32 value)
{
    Assign(FFontColor, value);
}
void TBoardItem::SetStrings(const QString& value)
{
    Assign(FStrings, value);
}
void TBoardItem::SetDrawTool(TDrawTool value)
{
    Assign(FDrawTool, value);
}
void TBoardItem::SetReportPoint(const QString& value)
{
    Assign(FReportPoint, value);
}

void TBoardItem::SetBounds(qint32 left, qint32 top, qint32 right, qint32 bottom)
{
    {
        std::optional<TBoardItems::UpdateHold> hold;
        if (FBoard)
            hold.emplace(FBoard->Items());
        SetLeft(left);
        SetTop(top);
        SetRight(right);
        SetBottom(bottom);
    }
    Changed();
}

void TBoardItem::Changed()
{
    if (FBoard)
        FBoard->Redraw();
}

bool TBoardItem::HitTest(QPoint point) const
{
    return std::min(FLeft, FRight) <= point.x() && point.x() <= std::max(FLeft, FRight)
           && std::min(FTop, FBottom) <= point.y() && point.y() <= std::max(FTop, FBottom);
}
