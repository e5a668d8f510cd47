#pragma once

#include "board/BoardHost.h"
#include "board/BoardItems.h"
#include "board/TCanvas.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class TSorCustomBoard;
class TBoardGraps;
class QPainter;

// One line of the page's text where the page picture shows it, for assistive technology.
struct TBoardTextLine {
    // A piece of the line's text and its box: a manuscript cell, or a character of a
    // blank-paper line.
    struct Piece {
        QRect Rect;
        QString Text;
    };
    QString Text;
    QRect Rect;
    QList<Piece> Pieces;
};

// One of the eight 5 x 5 grab handles around the selected item. A press on it resizes the
// item by the edges the handle owns. The handles hide while the mouse is held, and a hidden
// widget gets no mouse events, so the board holds the mouse for the pressed handle and hands
// it the moves and the release.
class TBoardGrapItem : public QWidget {
public:
    TBoardGrapItem(TBoardGraps& graps, int index, TSorCustomBoard* board);
    int Index() const { return FIndex; }
    bool HandleDown() const { return FHandleDown; }
    void Drag(QPoint onBoard);
    void Drop();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint OnBoard(QMouseEvent* event) const;

    TBoardGraps& FGraps;
    int FIndex;
    bool FHandleDown = false;
};

class TBoardGraps {
public:
    explicit TBoardGraps(TSorCustomBoard* board);
    TSorCustomBoard* Board() const { return FBoard; }
    TBoardGrapItem* Handles(int index) const { return FHandles.at(size_t(index)); }
    // The handle whose press has not been released yet, or null.
    TBoardGrapItem* Pressed() const;

    // Centres each handle on its point of the item's box, edges as they stand.
    void PlaceAround(const TBoardItem& item);
    // Shows all eight only with the selection tool and an item selected.
    void ShowHandles(bool value);

    int ActiveIndex = 0;

private:
    TSorCustomBoard* FBoard;
    std::array<TBoardGrapItem*, 8> FHandles{};
};

// The correction board: the page picture with the items over it. Items are placed with the
// current tool by press, drag and release, and with the selection tool selected, moved and
// resized. Painting only copies the picture; the focus frame that follows the
// mouse inverts pixels and is erased by inverting them again.
//
// From the keyboard: the arrows move a caret over the page (Shift: one pixel), and Enter
// places the current tool's item at it, or with the selection tool selects the item under
// it (Enter on the selected item is a double click). Assistive technology reads the page's
// text lines and then the items, in list order; the selected item is the focused one.
class TSorCustomBoard : public QWidget, public TBoardHost {
    Q_OBJECT
public:
    using TMouseEvent =
        std::function<void(TSorCustomBoard* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TNotifyEvent = std::function<void(TSorCustomBoard* Sender)>;
    // Key 0 on return means the owner consumed the key.
    using TKeyEvent = std::function<void(TSorCustomBoard* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
    using TKeyPressEvent = std::function<void(TSorCustomBoard* Sender, const QString& Text)>;
    // A placing gesture with Tool from StartPoint (the press) to EndPoint (the release).
    using TPlaceEvent =
        std::function<void(TSorCustomBoard* Sender, TDrawTool Tool, QPoint StartPoint, QPoint EndPoint)>;

    explicit TSorCustomBoard(QWidget* parent = nullptr);
    ~TSorCustomBoard() override;

    TDrawTool DrawTool() const { return FDrawTool; }
    void SetDrawTool(TDrawTool value);
    QColor BoardColor() const { return FBoardColor; }
    void SetBoardColor(const QColor& value);
    bool Locked() const { return FLocked; }
    void SetLocked(bool value) { FLocked = value; }
    int Selected() const { return FSelected; }
    TBoardGraps& Graps() { return *FGraps; }
    // The keyboard caret, in board coordinates.
    QPoint KeyCaret() const { return FKeyCaret; }
    // The text of the page shown, which the owner gives with each page.
    const QList<TBoardTextLine>& TextLines() const { return FTextLines; }
    void SetTextLines(const QList<TBoardTextLine>& lines);

    // The page picture the owner paints into, best at the board's pixel ratio; the owner then
    // sizes the board to its size in pixels and calls Redraw.
    QImage& Background() { return FBackground; }
    // The composed picture: fill, background and items, at the screen's pixel ratio.
    const QImage& Buffer() const { return FBuffer; }
    // The composed picture at its size in pixels, one device pixel to each (printing).
    void CopyPicture(QImage& bitmap);
    // The composed picture at (0, 0) of a picture whose size stays (the thumbnail).
    void DrawPicture(QImage& bitmap);

    TBoardItems& Items() override { return FItems; }
    void Redraw() override;
    TCanvas& Canvas() override { return FCanvas; }
    TCanvas& BufferCanvas() override { return FBufferCanvas; }
    void Unselect() override;

    TMouseEvent OnMouseDown;
    TNotifyEvent OnDblClick;
    // Before the picture is made anew for a screen of another pixel ratio: the owner paints
    // the background again at it.
    TNotifyEvent OnRatioChange;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    // The board places nothing itself: the owner's model sizes and numbers the item and
    // gives it back to the board's list.
    TPlaceEvent OnPlaceItem;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    void GrabItem(int x, int y);
    void DragItem(int x, int y);
    void DropItem();
    void StartPlacing(int x, int y);
    void TrackPlacing(int x, int y);
    void EndPlacing(int x, int y);
    int ItemAt(QPoint point) const { return FItems.ItemAt(point); }
    // What hovering an item shows: how it is read, then what the mark is for.
    QString ItemToolTip(const TBoardItem& item) const;
    void DrawFocusFrame(QPoint p1, QPoint p2);
    void DrawBackground();
    void PaintBackground(QImage& picture) const;
    QImage PlainPicture();
    void DrawItems();
    void SaveCanvas() { FCanvas.Save(); }
    void RestoreCanvas() { FCanvas.Restore(); }

private:
    friend class TBoardGrapItem;

    void Paint();
    void UseFramePen();
    // SorBoardKeys.cpp
    void KeyGesture(int key, Qt::KeyboardModifiers modifiers);
    void MoveKeyCaret(QPoint by);
    void EnterAtKeyCaret();
    void SelectItem(int index);
    void PaintKeyCaret(QPainter& painter) const;
    // Tells assistive technology which item is now selected.
    void SelectionChanged();

    QImage FBuffer;
    QImage FBackground;
    // What the window shows: the composed picture with the focus frame inverted over it and
    // an item just added drawn on it.
    QImage FScreen;
    TCanvas FCanvas{FScreen};
    TCanvas FBufferCanvas{FBuffer};
    TBoardItems FItems{this};
    std::unique_ptr<TBoardGraps> FGraps;
    TDrawTool FDrawTool = dtNone;
    bool FMoving = false;
    int FSelected = -1;
    QColor FBoardColor{Qt::white};
    bool FMouseDown = false;
    bool FGrabbing = false;
    QPoint FStartPoint;
    QPoint FEndPoint;
    QPoint FLastPoint;
    bool FLocked = false;
    bool FRedrawing = false;
    bool FRedrawAgain = false;
    // Focus frames now inverted on the window, so a repaint of the window keeps them.
    std::vector<QRect> FFrames;
    QPoint FKeyCaret{10, 10};
    // The caret shows from the first key that uses it until the mouse is pressed.
    bool FKeyCaretShown = false;
    QList<TBoardTextLine> FTextLines;
};

// The board as the correction frame places it.
class TSorBoard : public TSorCustomBoard {
public:
    using TSorCustomBoard::TSorCustomBoard;
};
