#pragma once

#include <functional>

class TBoardHost;
class TBoardItem;
class TBoardItems;
class TCanvas;

// Notifications of the board; Sender is always the board.
using TBoardItemEvent = std::function<void(TBoardHost* Sender, TBoardItem* Item)>;
// ADelete comes in true; a handler that sets it false keeps the item.
using TBoardItemDeleteEvent = std::function<void(TBoardHost* Sender, TBoardItem* Item, bool& ADelete)>;
// AClear comes in true; a handler that sets it false keeps every item.
using TBoardItemClearEvent = std::function<void(TBoardHost* Sender, bool& AClear)>;

// The board as its items and their list see it, so they need no window.
class TBoardHost {
public:
    TBoardItemEvent OnItemAdd;
    TBoardItemDeleteEvent OnItemDelete;
    TBoardItemClearEvent OnItemClear;
    TBoardItemEvent OnItemMoveSized;
    TBoardItemEvent OnItemSelected;

    virtual TBoardItems& Items() = 0;
    // Rebuilds the composed picture and shows it; ignored while the list holds updates back.
    virtual void Redraw() = 0;
    // The canvas of what the window shows.
    virtual TCanvas& Canvas() = 0;
    // The canvas of the composed picture: background and items.
    virtual TCanvas& BufferCanvas() = 0;
    // Selected := -1 and the grab handles hidden.
    virtual void Unselect() = 0;

protected:
    ~TBoardHost() = default;
};
