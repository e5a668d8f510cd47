// The board's keyboard caret, placing and selecting from the keyboard, and what it tells
// assistive technology.

#include "board/BoardAccessible.h"
#include "board/SorBoard.h"

#include <QAccessible>
#include <QPainter>
#include <QScrollArea>

namespace {

constexpr int kKeyStep = 10;
// The box an item placed from the keyboard starts with; text and numbers grow to their text.
constexpr QSize kKeyItemSize(40, 30);
const QColor kCaretColour(0, 64, 160);

}

void TSorCustomBoard::SetTextLines(const QList<TBoardTextLine>& lines)
{
    FTextLines = lines;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

void TSorCustomBoard::KeyGesture(int key, Qt::KeyboardModifiers modifiers)
{
    const int step = modifiers & Qt::ShiftModifier ? 1 : kKeyStep;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FKeyCaretShown = true;
        update();
        break;
    default:
        return;
    }
    switch (key) {
    case Qt::Key_Left:
        MoveKeyCaret({-step, 0});
        break;
    case Qt::Key_Right:
        MoveKeyCaret({step, 0});
        break;
    case Qt::Key_Up:
        MoveKeyCaret({0, -step});
        break;
    case Qt::Key_Down:
        MoveKeyCaret({0, step});
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterAtKeyCaret();
        break;
    default:
        break;
    }
}

void TSorCustomBoard::MoveKeyCaret(QPoint by)
{
    const QPoint moved = FKeyCaret + by;
    FKeyCaret = {std::clamp(moved.x(), 0, std::max(width() - 1, 0)),
                 std::clamp(moved.y(), 0, std::max(height() - 1, 0))};
    // The page scrolls so that the caret and the box an item would take stay in sight.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            if (area->widget() && area->widget()->isAncestorOf(this)) {
                const QPoint at =
                    mapTo(area->widget(), FKeyCaret + QPoint(kKeyItemSize.width(), kKeyItemSize.height()) / 2);
                area->ensureVisible(at.x(), at.y(), kKeyItemSize.width(), kKeyItemSize.height());
            }
            break;
        }
    }
    update();
}

void TSorCustomBoard::EnterAtKeyCaret()
{
    if (FDrawTool == dtSelect) {
        if (FLocked)
            return;
        const int i = ItemAt(FKeyCaret);
        if (i == -1)
            Unselect();
        else if (i == FSelected && OnDblClick)
            OnDblClick(this);
        else
            SelectItem(i);
        return;
    }
    if (FDrawTool == dtNone)
        return;
    const int count = FItems.Count();
    StartPlacing(FKeyCaret.x(), FKeyCaret.y());
    EndPlacing(FKeyCaret.x() + kKeyItemSize.width(), FKeyCaret.y() + kKeyItemSize.height());
    // The owner usually goes back to the selection tool: the new item is then the selected
    // one, so a screen reader reads it back at once.
    if (FDrawTool == dtSelect && FItems.Count() > count && !FLocked)
        SelectItem(FItems.Count() - 1);
}

void TSorCustomBoard::SelectItem(int index)
{
    TBoardItem* item = FItems.Items(index);
    FSelected = index;
    FGraps->PlaceAround(*item);
    FGraps->ShowHandles(true);
    if (OnItemSelected)
        OnItemSelected(this, item);
    SelectionChanged();
}

void TSorCustomBoard::SelectionChanged()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    if (FSelected >= 0)
        event.setChild(TBoardAccessible::ItemChild(*this, FSelected));
    QAccessible::updateAccessibility(&event);
}

// A cross over the caret, and with a placing tool the box the item would take.
void TSorCustomBoard::PaintKeyCaret(QPainter& painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kCaretColour, 2));
    const QPoint c = FKeyCaret;
    painter.drawLine(c - QPoint(8, 0), c + QPoint(8, 0));
    painter.drawLine(c - QPoint(0, 8), c + QPoint(0, 8));
    if (FDrawTool != dtSelect && FDrawTool != dtNone) {
        painter.setPen(QPen(kCaretColour, 1, Qt::DashLine));
        painter.drawRect(QRect(c, kKeyItemSize));
    }
    painter.restore();
}

void TSorCustomBoard::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TSorCustomBoard::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
