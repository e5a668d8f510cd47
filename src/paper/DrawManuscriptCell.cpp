#include "paper/DrawManuscriptCell.h"

#include "ui/Fonts.h"

#include <QPainter>

namespace {
const QColor kCounterColour(255, 138, 0);
const QColor kBoxColour(200, 200, 200);

// Sizes are in points on a 96-dpi sheet, whatever the surface's own resolution.
int pointsToPixels(int points)
{
    return points * 96 / 72;
}
}

void DrawManuscriptCell(QPainter& painter, const QRect& cell, int column, int line, const QString& text, bool lastLine)
{
    QString shown = text;
    shown.remove(u'\r').remove(u'\n');
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();  // exclusive
    const int bottom = cell.top() + cell.height();

    painter.save();
    QColor colour = Qt::black;
    int points = 13;
    if (column == 0) {
        if (line % 10 != 0) {
            painter.restore();
            return;
        }
        shown = QString::number(line / 10 * 200);
        colour = kCounterColour;
        points = 10;
    } else if (column <= 20) {
        painter.setPen(QPen(kBoxColour, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(left - 1, top, right - left, bottom - 4 - top));
        if (!lastLine && line % 30 != 29) {
            if (column == 1)
                painter.drawLine(left - 1, top, left - 1, bottom - 1);
            if (column == 20)
                painter.drawLine(right - 1, top, right - 1, bottom - 1);
        }
    }
    if (!shown.isEmpty()) {
        painter.setFont(GulimcheFont(pointsToPixels(points)));
        painter.setPen(colour);
        const bool leftAligned = shown == u"," || shown == u".";
        painter.drawText(cell, Qt::TextSingleLine | Qt::AlignVCenter | (leftAligned ? Qt::AlignLeft : Qt::AlignHCenter),
                         shown);
    }
    painter.restore();
}
