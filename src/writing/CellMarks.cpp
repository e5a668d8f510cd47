#include "writing/CellMarks.h"

#include "document/CellNotes.h"

#include <QPainter>
#include <QPolygon>

void DrawCellMarks(QPainter& painter, const QRect& cell, int marks)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (marks & CellNotes::RuleMark) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(232, 89, 12));
        const int right = cell.right() - 1;
        const int top = cell.top() + 1;
        painter.drawPolygon(QPolygon({QPoint(right - 6, top), QPoint(right, top), QPoint(right, top + 6)}));
    }
    if (marks & CellNotes::SpellingMark) {
        // The 3-pixel gap under the box holds the wave, so the text stays clear.
        painter.setPen(QPen(QColor(208, 0, 0), 1));
        QPolygon wave;
        const int y = cell.bottom() - 1;
        for (int x = cell.left(); x <= cell.right(); x += 2)
            wave << QPoint(x, ((x - cell.left()) / 2) % 2 ? y - 1 : y + 1);
        painter.drawPolyline(wave);
    }
    painter.restore();
}
