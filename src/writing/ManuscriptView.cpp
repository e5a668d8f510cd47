#include "writing/ManuscriptView.h"

#include "document/ManuscriptGrid.h"
#include "paper/DrawManuscriptCell.h"
#include "writing/CellMarks.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {
class ManuscriptCellDelegate : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        DrawManuscriptCell(*painter, option.rect, index.column(), index.row(), index.data().toString(),
                           index.row() == index.model()->rowCount() - 1);
        if (const int marks = index.data(ManuscriptGrid::kMarksRole).toInt())
            DrawCellMarks(*painter, option.rect, marks);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {ManuscriptView::kCellSize, ManuscriptView::kCellSize};
    }
};
}

ManuscriptView::ManuscriptView(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new ManuscriptCellDelegate(this));
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(ScrollPerItem);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setDefaultSectionSize(kCellSize);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
}

void ManuscriptView::keyboardSearch(const QString&)
{
}

QModelIndex ManuscriptView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    return target.isValid() && target.column() == 0 ? model()->index(target.row(), 1) : target;
}

void ManuscriptView::mousePressEvent(QMouseEvent* event)
{
    if (columnAt(event->position().toPoint().x()) == 0)
        return;
    QTableView::mousePressEvent(event);
}

void ManuscriptView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    const QModelIndex current = currentIndex();
    if (delta == 0 || !current.isValid())
        return;
    const int line = std::clamp(current.row() + (delta < 0 ? 1 : -1), 0, model()->rowCount() - 1);
    setCurrentIndex(model()->index(line, current.column()));
}
