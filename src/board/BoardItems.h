#pragma once

#include "board/BoardItem.h"

#include <QPoint>
#include <memory>
#include <vector>

class TBoardHost;

// The board's items in drawing order: a later item lies over an earlier one. The list owns
// them; an index out of range is refused with an error and changes nothing.
class TBoardItems {
public:
    explicit TBoardItems(TBoardHost* board) : FBoard(board) {}
    TBoardItems(const TBoardItems&) = delete;
    TBoardItems& operator=(const TBoardItems&) = delete;

    TBoardHost* Board() const { return FBoard; }
    int Count() const { return int(FItems.size()); }
    TBoardItem* Items(int index) const;

    // Appends an existing item, draws it at once on the window and the composed picture
    // (no full redraw), then raises OnItemAdd.
    TBoardItem* Add(std::unique_ptr<TBoardItem> item);
    // Both ask OnItemDelete / OnItemClear first, which may cancel.
    void Delete(int index);
    void Clear();

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    void Changed();

    // The topmost item whose box holds the point, or -1.
    int ItemAt(QPoint point) const;

    // Holds redraws back for a scope.
    class UpdateHold {
    public:
        explicit UpdateHold(TBoardItems& items) : FItems(items) { FItems.BeginUpdate(); }
        ~UpdateHold() { FItems.EndUpdate(); }
        UpdateHold(const UpdateHold&) = delete;
        UpdateHold& operator=(const UpdateHold&) = delete;

    private:
        TBoardItems& FItems;
    };

private:
    void CheckIndex(int index) const;

    TBoardHost* FBoard;
    std::vector<std::unique_ptr<TBoardItem>> FItems;
    int FUpdateCount = 0;
};
