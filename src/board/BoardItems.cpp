#include "board/BoardItems.h"

#include "board/BoardHost.h"
#include "board/TCanvas.h"
#include "core/AppError.h"

void TBoardItems::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TBoardItem* TBoardItems::Items(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].get();
}

TBoardItem* TBoardItems::Add(std::unique_ptr<TBoardItem> item)
{
    TBoardItem* added = item.get();
    if (!FBoard) {
        FItems.push_back(std::move(item));
        return added;
    }
    TCanvasSave save(FBoard->Canvas());
    added->SetBoard(FBoard);
    FItems.push_back(std::move(item));
    added->Draw(FBoard->Canvas());
    added->Draw(FBoard->BufferCanvas());
    if (FBoard->OnItemAdd)
        FBoard->OnItemAdd(FBoard, added);
    return added;
}

void TBoardItems::Delete(int index)
{
    CheckIndex(index);
    bool deleteIt = true;
    if (FBoard && FBoard->OnItemDelete)
        FBoard->OnItemDelete(FBoard, FItems[size_t(index)].get(), deleteIt);
    if (!deleteIt)
        return;
    FItems.erase(FItems.begin() + index);
    if (FBoard)
        FBoard->Unselect();
    Changed();
}

void TBoardItems::Clear()
{
    bool clearIt = true;
    if (FBoard && FBoard->OnItemClear)
        FBoard->OnItemClear(FBoard, clearIt);
    if (!clearIt)
        return;
    while (!FItems.empty())
        FItems.pop_back();
    if (FBoard)
        FBoard->Unselect();
    Changed();
}

void TBoardItems::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    else
        FUpdateCount = 0;
}

void TBoardItems::Changed()
{
    if (FBoard)
        FBoard->Redraw();
}

int TBoardItems::ItemAt(QPoint point) const
{
    for (int i = Count() - 1; i >= 0; --i)
        if (FItems[size_t(i)]->HitTest(point))
            return i;
    return -1;
}
