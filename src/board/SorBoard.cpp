#include "board/SorBoard.h"

#include "board/BoardAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

const Qt::CursorShape HandleCursors[8] = {Qt::CrossCursor, Qt::SizeVerCursor, Qt::CrossCursor, Qt::SizeHorCursor,
                                          Qt::CrossCursor, Qt::SizeVerCursor, Qt::CrossCursor, Qt::SizeHorCursor};

// Clears a flag on leaving a scope, also when it fails.
class FlagHold {
public:
    explicit FlagHold(bool& flag) : FFlag(flag) { FFlag = true; }
    ~FlagHold() { FFlag = false; }
    FlagHold(const FlagHold&) = delete;
    FlagHold& operator=(const FlagHold&) = delete;

private:
    bool& FFlag;
};

// Unlocks a canvas on leaving a scope, also when a drawing fails.
class LockHold {
public:
    explicit LockHold(TCanvas& canvas) : FCanvas(canvas) { FCanvas.Lock(); }
    ~LockHold() { FCanvas.Unlock(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    TCanvas& FCanvas;
};

}  // namespace

TBoardGrapItem::TBoardGrapItem(TBoardGraps& graps, int index, TSorCustomBoard* board)
    : QWidget(board), FGraps(graps), FIndex(index)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(HandleCursors[index]);
    resize(5, 5);
    hide();
}

void TBoardGrapItem::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}

QPoint TBoardGrapItem::OnBoard(QMouseEvent* event) const
{
    return event->position().toPoint() + pos();
}

void TBoardGrapItem::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FHandleDown = true;
    FGraps.ActiveIndex = FIndex;
    TSorCustomBoard* board = FGraps.Board();
    board->FMoving = false;
    const QPoint point = OnBoard(event);
    board->GrabItem(point.x(), point.y());
    board->grabMouse();
}

void TBoardGrapItem::mouseMoveEvent(QMouseEvent* event)
{
    Drag(OnBoard(event));
}

void TBoardGrapItem::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Drop();
}

void TBoardGrapItem::Drag(QPoint onBoard)
{
    if (FHandleDown)
        FGraps.Board()->DragItem(onBoard.x(), onBoard.y());
}

void TBoardGrapItem::Drop()
{
    if (!FHandleDown)
        return;
    FHandleDown = false;
    TSorCustomBoard* board = FGraps.Board();
    board->releaseMouse();
    board->DropItem();
}

TBoardGraps::TBoardGraps(TSorCustomBoard* board) : FBoard(board)
{
    for (int i = 0; i < 8; ++i)
        FHandles[size_t(i)] = new TBoardGrapItem(*this, i, board);
}

TBoardGrapItem* TBoardGraps::Pressed() const
{
    for (TBoardGrapItem* handle : FHandles)
        if (handle->HandleDown())
            return handle;
    return nullptr;
}

void TBoardGraps::PlaceAround(const TBoardItem& item)
{
    const qint64 l = item.Left(), t = item.Top(), r = item.Right(), b = item.Bottom();
    const qint64 mx = l + (r - l) / 2, my = t + (b - t) / 2;
    const qint64 centres[8][2] = {{l, t}, {mx, t}, {r, t}, {r, my}, {r, b}, {mx, b}, {l, b}, {l, my}};
    for (int i = 0; i < 8; ++i)
        FHandles[size_t(i)]->move(int(centres[i][0] - 2), int(centres[i][1] - 2));
}

void TBoardGraps::ShowHandles(bool value)
{
    const bool shown = value && FBoard->DrawTool() == dtSelect && FBoard->Selected() != -1;
    for (TBoardGrapItem* handle : FHandles) {
        handle->setVisible(shown);
        if (shown)
            handle->raise();
    }
}

TSorCustomBoard::TSorCustomBoard(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 100);
    FGraps = std::make_unique<TBoardGraps>(this);
    DrawBackground();
    DrawItems();
    FScreen = FBuffer;
    FCanvas.PenWidth = 1;
    FCanvas.PenColor = Qt::white;
    FCanvas.BrushStyle = TBrushStyle::Clear;
    FCanvas.BrushColor = Qt::transparent;
    FCanvas.SetFont(QStringLiteral("굴림"), 9, false);
    FCanvas.FontColor = Qt::white;
    static const bool accessible = [] {
        QAccessible::installFactory(&TBoardAccessible::Factory);
        return true;
    }();
    Q_UNUSED(accessible);
}

TSorCustomBoard::~TSorCustomBoard() = default;

void TSorCustomBoard::SetDrawTool(TDrawTool value)
{
    if (FLocked) {
        FDrawTool = dtSelect;
        return;
    }
    FDrawTool = value;
    if (value != dtSelect)
        Unselect();
}

void TSorCustomBoard::SetBoardColor(const QColor& value)
{
    if (value == FBoardColor)
        return;
    FBoardColor = value;
    Redraw();
}

void TSorCustomBoard::CopyPicture(QImage& bitmap)
{
    bitmap = PlainPicture();
}

void TSorCustomBoard::DrawPicture(QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, PlainPicture());
}

// Thumbnails and prints take the picture at one device pixel to a pixel, whatever the screen.
QImage TSorCustomBoard::PlainPicture()
{
    if (FBuffer.devicePixelRatio() == 1)
        return FBuffer.copy();
    QImage picture(size(), QImage::Format_RGB32);
    picture.fill(FBoardColor);
    PaintBackground(picture);
    TCanvas canvas(picture);
    LockHold lock(canvas);
    for (int i = 0; i < FItems.Count(); ++i)
        FItems.Items(i)->Draw(canvas);
    return picture;
}

void TSorCustomBoard::Unselect()
{
    FSelected = -1;
    FGraps->ShowHandles(false);
    SelectionChanged();
}

// A text default that an item takes while it is drawn asks for a redraw from inside the
// drawing; the picture is then built once more when the current pass ends.
void TSorCustomBoard::Redraw()
{
    if (FItems.UpdateCount() > 0)
        return;
    if (FRedrawing) {
        FRedrawAgain = true;
        return;
    }
    FlagHold redrawing(FRedrawing);
    TCanvasSave save(FCanvas);
    do {
        FRedrawAgain = false;
        DrawBackground();
        DrawItems();
    } while (FRedrawAgain);
    Paint();
}

void TSorCustomBoard::DrawBackground()
{
    // A picture still shared with the window is replaced, not copied and then overwritten.
    const qreal ratio = devicePixelRatioF();
    if (FBuffer.deviceIndependentSize() != QSizeF(size()) || FBuffer.devicePixelRatio() != ratio
        || !FBuffer.isDetached()) {
        FBuffer = size().isEmpty() ? QImage() : QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
        FBuffer.setDevicePixelRatio(ratio);
    }
    if (FBuffer.isNull())
        return;
    FBuffer.fill(FBoardColor);
    PaintBackground(FBuffer);
}

void TSorCustomBoard::PaintBackground(QImage& picture) const
{
    if (FBackground.isNull())
        return;
    QPainter painter(&picture);
    // A page of a whole multiple of the picture's device pixels keeps its lines sharp when
    // sampled; a page of another ratio is blended.
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          std::fmod(FBackground.devicePixelRatio(), picture.devicePixelRatio()) != 0);
    painter.drawImage(0, 0, FBackground);
}

void TSorCustomBoard::DrawItems()
{
    LockHold lock(FBufferCanvas);
    for (int i = 0; i < FItems.Count(); ++i)
        FItems.Items(i)->Draw(FBufferCanvas);
}

void TSorCustomBoard::Paint()
{
    FScreen = FBuffer;
    const TPenMode mode = FCanvas.PenMode;
    for (const QRect& frame : FFrames) {
        FCanvas.PenMode = TPenMode::NotXor;
        FCanvas.Rectangle(frame.left(), frame.top(), frame.right(), frame.bottom());
    }
    FCanvas.PenMode = mode;
    update();
}

void TSorCustomBoard::paintEvent(QPaintEvent*)
{
    // The picture is made anew for a screen of another pixel ratio.
    if (FBuffer.devicePixelRatio() != devicePixelRatioF()) {
        if (OnRatioChange)
            OnRatioChange(this);
        Redraw();
    }
    QPainter painter(this);
    if (FScreen.deviceIndependentSize() != QSizeF(size()))
        painter.fillRect(rect(), FBoardColor);
    painter.drawImage(0, 0, FScreen);
    if (FKeyCaretShown && hasFocus())
        PaintKeyCaret(painter);
}

void TSorCustomBoard::UseFramePen()
{
    FCanvas.PenWidth = 1;
    FCanvas.PenColor = Qt::black;
    FCanvas.BrushStyle = TBrushStyle::Clear;
}

void TSorCustomBoard::DrawFocusFrame(QPoint p1, QPoint p2)
{
    // A frame of one point is empty: placing erases the frame of the press point before
    // anything was drawn there.
    if (p1 == p2)
        return;
    const QRect frame = QRect(p1, p2).normalized();
    const auto shown = std::find(FFrames.begin(), FFrames.end(), frame);
    if (shown == FFrames.end())
        FFrames.push_back(frame);
    else
        FFrames.erase(shown);
    const TPenMode mode = FCanvas.PenMode;
    FCanvas.PenMode = TPenMode::NotXor;
    FCanvas.Rectangle(p1.x(), p1.y(), p2.x(), p2.y());
    FCanvas.PenMode = mode;
    update();
}

void TSorCustomBoard::StartPlacing(int x, int y)
{
    FStartPoint = FEndPoint = QPoint(x, y);
    SaveCanvas();
    UseFramePen();
}

void TSorCustomBoard::TrackPlacing(int x, int y)
{
    DrawFocusFrame(FStartPoint, FEndPoint);
    FEndPoint = QPoint(x, y);
    DrawFocusFrame(FStartPoint, FEndPoint);
}

void TSorCustomBoard::EndPlacing(int x, int y)
{
    DrawFocusFrame(FStartPoint, FEndPoint);
    FEndPoint = QPoint(x, y);
    RestoreCanvas();
    if (OnPlaceItem)
        OnPlaceItem(this, FDrawTool, FStartPoint, FEndPoint);
    update();
}

void TSorCustomBoard::GrabItem(int x, int y)
{
    if (FLocked)
        return;
    if (!FMoving) {
        FGraps->ShowHandles(false);
    } else {
        const int i = ItemAt(QPoint(x, y));
        if (i == -1) {
            FMouseDown = false;
            Unselect();
            return;
        }
        FGraps->ShowHandles(false);
        if (i != FSelected) {
            FSelected = i;
            FGraps->PlaceAround(*FItems.Items(i));
            SelectionChanged();
        }
    }
    if (FSelected == -1)
        return;
    TBoardItem* item = FItems.Items(FSelected);
    if (OnItemSelected)
        OnItemSelected(this, item);
    FStartPoint = QPoint(item->Left(), item->Top());
    FEndPoint = QPoint(item->Right(), item->Bottom());
    FLastPoint = QPoint(x, y);
    SaveCanvas();
    UseFramePen();
    DrawFocusFrame(FStartPoint, FEndPoint);
    FGrabbing = true;
}

void TSorCustomBoard::DragItem(int x, int y)
{
    if (FLocked || !FGrabbing)
        return;
    const int dx = x - FLastPoint.x();
    const int dy = y - FLastPoint.y();
    DrawFocusFrame(FStartPoint, FEndPoint);
    if (FMoving) {
        FStartPoint += QPoint(dx, dy);
        FEndPoint += QPoint(dx, dy);
    } else {
        switch (FGraps->ActiveIndex) {
        case 0:
            FStartPoint += QPoint(dx, dy);
            break;
        case 1:
            FStartPoint.ry() += dy;
            break;
        case 2:
            FEndPoint.rx() += dx;
            FStartPoint.ry() += dy;
            break;
        case 3:
            FEndPoint.rx() += dx;
            break;
        case 4:
            FEndPoint += QPoint(dx, dy);
            break;
        case 5:
            FEndPoint.ry() += dy;
            break;
        case 6:
            FStartPoint.rx() += dx;
            FEndPoint.ry() += dy;
            break;
        case 7:
            FStartPoint.rx() += dx;
            break;
        }
    }
    FLastPoint = QPoint(x, y);
    DrawFocusFrame(FStartPoint, FEndPoint);
}

void TSorCustomBoard::DropItem()
{
    if (FLocked || !FGrabbing)
        return;
    FGrabbing = false;
    DrawFocusFrame(FStartPoint, FEndPoint);
    // The owner may have deleted the item while the mouse was held.
    if (FSelected == -1) {
        RestoreCanvas();
        return;
    }
    TBoardItem* item = FItems.Items(FSelected);
    item->SetBounds(FStartPoint.x(), FStartPoint.y(), FEndPoint.x(), FEndPoint.y());
    FGraps->PlaceAround(*item);
    FGraps->ShowHandles(true);
    RestoreCanvas();
    if (OnItemMoveSized)
        OnItemMoveSized(this, item);
}

void TSorCustomBoard::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), point.x(), point.y());
    FKeyCaretShown = false;
    FKeyCaret = point;
    if (event->button() != Qt::LeftButton)
        return;
    FMouseDown = true;
    FMoving = true;
    if (FDrawTool == dtSelect)
        GrabItem(point.x(), point.y());
    else
        StartPlacing(point.x(), point.y());
}

void TSorCustomBoard::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (TBoardGrapItem* handle = FGraps->Pressed()) {
        handle->Drag(point);
        return;
    }
    if (FMouseDown) {
        if (FDrawTool == dtSelect)
            DragItem(point.x(), point.y());
        else
            TrackPlacing(point.x(), point.y());
        return;
    }
    if (FDrawTool == dtSelect && ItemAt(point) != -1)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void TSorCustomBoard::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (TBoardGrapItem* handle = FGraps->Pressed()) {
        handle->Drop();
        return;
    }
    if (!FMouseDown)
        return;
    const QPoint point = event->position().toPoint();
    if (FDrawTool == dtSelect)
        DropItem();
    else
        EndPlacing(point.x(), point.y());
    FMouseDown = false;
}

// The second press of a double click starts no gesture; it only tells the owner.
void TSorCustomBoard::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), point.x(), point.y());
    if (OnDblClick && event->button() == Qt::LeftButton)
        OnDblClick(this);
}

// Every key is the owner's: Tab and the arrows do not move the focus, Enter and Escape do
// not reach a dialog's buttons, and no plain key is looked up as a shortcut while the board
// has the focus. Keys with Ctrl or Alt stay the window's (save, print): the board has none.
bool TSorCustomBoard::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QWidget::event(event);
        event->accept();
        return true;
    case QEvent::KeyPress:
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    case QEvent::ToolTip: {
        // A mark under the mouse says what it is and what it covers, in both modes.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = ItemAt(help->pos());
        if (index < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), ItemToolTip(*FItems.Items(index)), this);
        return true;
    }
    default:
        return QWidget::event(event);
    }
}

QString TSorCustomBoard::ItemToolTip(const TBoardItem& item) const
{
    const QString hint = DrawToolHint(item.DrawTool());
    const QString purpose = hint.mid(hint.indexOf(u':') + 1).trimmed();
    const QString reading = BoardItemReading(item, FTextLines);
    return purpose.isEmpty() || reading.startsWith(purpose) ? reading : reading + u'\n' + purpose;
}

void TSorCustomBoard::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    int key = event->key();
    if (OnKeyDown)
        OnKeyDown(this, key, event->modifiers());
    if (key != 0 && OnKeyPress && !event->text().isEmpty())
        OnKeyPress(this, event->text());
    if (key != 0)
        KeyGesture(key, event->modifiers());
}

void TSorCustomBoard::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    int key = event->key();
    if (OnKeyUp)
        OnKeyUp(this, key, event->modifiers());
}
