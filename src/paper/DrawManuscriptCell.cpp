#include "paper/DrawManuscriptCell.h"

#include "ui/Fonts.h"

#include <QCache>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace {
const QColor kCounterColour(255, 138, 0);
const QColor kBoxColour(200, 200, 200);

// Sizes are in points on a 96-dpi sheet, whatever the surface's own resolution.
int pointsToPixels(int points)
{
    return points * 96 / 72;
}

// `shown` is the text as drawn: the counter's number in column 0, the cell's text elsewhere.
void paintCell(QPainter& painter, const QRect& cell, int column, bool edges, const QString& shown)
{
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();  // exclusive
    const int bottom = cell.top() + cell.height();

    painter.save();
    QColor colour = Qt::black;
    int points = 13;
    if (column == 0) {
        colour = kCounterColour;
        points = 10;
    } else if (column <= 20) {
        painter.setPen(QPen(kBoxColour, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(left - 1, top, right - left, bottom - 4 - top));
        if (edges) {
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

// Everything a cell's picture depends on: a cell drawn once is copied from then on.
struct CellLook {
    QString shown;
    int column;
    bool edges;
    QSize size;
    int ratio;  // device pixels to a pixel
    bool operator==(const CellLook&) const = default;
};

size_t qHash(const CellLook& look, size_t seed = 0)
{
    return qHashMulti(seed, look.shown, look.column, look.edges, look.size.width(), look.size.height(), look.ratio);
}

// A writing cell's box reaches past the cell: its left edge lies on the neighbour's last
// pixel column, and above one device pixel to a pixel its lines spread half a pixel
// further. Its picture takes that border and leaves it transparent where the box draws
// nothing.
int border(int column)
{
    return column >= 1 && column <= 20 ? 2 : 0;
}

const QImage& cellPicture(const CellLook& look)
{
    // About 1,000 cells at twice the resolution: more than a sheet's distinct characters.
    static QCache<CellLook, QImage> pictures(16 * 1024 * 1024);
    if (const QImage* cached = pictures.object(look))
        return *cached;
    const int b = border(look.column);
    auto* picture = new QImage((look.size + QSize(2 * b, 2 * b)) * look.ratio,
                               b ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    picture->setDevicePixelRatio(look.ratio);
    picture->fill(b ? Qt::transparent : Qt::white);
    QPainter painter(picture);
    paintCell(painter, QRect(QPoint(b, b), look.size), look.column, look.edges, look.shown);
    painter.end();
    const QImage& kept = *picture;
    pictures.insert(look, picture, qsizetype(picture->sizeInBytes()));
    return kept;
}

// A copied picture equals drawing in place only on a raster surface at a whole number of
// device pixels to a pixel, moved by whole device pixels; anything else (printers, rotated
// or fractional surfaces) is drawn in place.
int copyableRatio(const QPainter& painter)
{
    if (!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Raster)
        return 0;
    const QTransform device = painter.deviceTransform();
    const qreal ratio = device.m11();
    const auto whole = [](qreal v) { return v == std::floor(v); };
    if (device.type() > QTransform::TxScale || device.m22() != ratio || ratio < 1 || !whole(ratio)
        || !whole(device.dx()) || !whole(device.dy()))
        return 0;
    return int(ratio);
}
}

void DrawManuscriptCell(QPainter& painter, const QRect& cell, int column, int line, const QString& text, bool lastLine)
{
    QString shown;
    if (column == 0) {
        if (line % 10 != 0)
            return;
        shown = QString::number(line / 10 * 200);
    } else {
        shown = text;
        if (shown.contains(u'\r') || shown.contains(u'\n'))
            shown.remove(u'\r').remove(u'\n');
        // An empty margin cell draws nothing.
        if (column > 20 && shown.isEmpty())
            return;
    }
    const bool edges = !lastLine && line % 30 != 29 && (column == 1 || column == 20);
    const int ratio = copyableRatio(painter);
    if (ratio == 0) {
        paintCell(painter, cell, column, edges, shown);
        return;
    }
    // The inner writing columns all look alike.
    const int look = column > 1 && column < 20 ? 2 : column;
    const QImage& picture = cellPicture({shown, look, edges, cell.size(), ratio});
    const int b = border(column);
    painter.drawImage(cell.topLeft() - QPoint(b, b), picture);
}
