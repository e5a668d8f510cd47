#include "paper/DrawManuscriptCell.h"

#include "ui/Fonts.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>
#include <QTextLayout>

#include <cmath>

namespace {
const QColor kCounterColour(255, 138, 0);
const QColor kBoxColour(200, 200, 200);

// Sizes are in points on a 96-dpi sheet, whatever the surface's own resolution.
int pointsToPixels(int points)
{
    return points * 96 / 72;
}

QFont cellFont(int column)
{
    return GulimcheFont(pointsToPixels(column == 0 ? 10 : 13));
}

QColor textColour(int column)
{
    return column == 0 ? kCounterColour : QColor(Qt::black);
}

bool leftAligned(const QString& shown)
{
    return shown.size() == 1 && (shown[0] == u',' || shown[0] == u'.');
}

// The cell without its text: a writing cell's box and the sheet's edges beside it.
void paintPaper(QPainter& painter, const QRect& cell, int column, bool edges)
{
    if (column < 1 || column > 20)
        return;
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();  // exclusive
    const int bottom = cell.top() + cell.height();
    painter.save();
    painter.setPen(QPen(kBoxColour, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(left - 1, top, right - left, bottom - 4 - top));
    if (edges) {
        if (column == 1)
            painter.drawLine(left - 1, top, left - 1, bottom - 1);
        if (column == 20)
            painter.drawLine(right - 1, top, right - 1, bottom - 1);
    }
    painter.restore();
}

// `shown` is the text as drawn: the counter's number in column 0, the cell's text elsewhere.
void paintText(QPainter& painter, const QRect& cell, int column, const QString& shown)
{
    painter.save();
    painter.setFont(cellFont(column));
    painter.setPen(textColour(column));
    painter.drawText(
        cell, Qt::TextSingleLine | Qt::AlignVCenter | (leftAligned(shown) ? Qt::AlignLeft : Qt::AlignHCenter), shown);
    painter.restore();
}

// Everything the paper of a cell depends on: drawn once, copied from then on.
struct PaperLook {
    int column;  // 0 counter, 1 first, 2 inner, 20 last, 21 margin
    bool edges;
    QSize size;
    int ratio;  // device pixels to a pixel
    bool operator==(const PaperLook&) const = default;
};

size_t qHash(const PaperLook& look, size_t seed = 0)
{
    return qHashMulti(seed, look.column, look.edges, look.size.width(), look.size.height(), look.ratio);
}

// Where a cell's picture reaches past the cell, and whether it covers that area whole. At one
// device pixel to a pixel a writing cell's box reaches one pixel left, onto its neighbour's
// last column, and everything else it leaves blank is white sheet: the picture is opaque and
// copies fastest. At more, the box's lines spread half a pixel further onto neighbours that
// are painted before and after it, so the picture reaches two pixels round and is
// transparent where the cell draws nothing.
struct Reach {
    QMargins margins;
    bool opaque;
};

Reach reach(const PaperLook& look)
{
    if (look.ratio == 1)
        return {QMargins(look.column >= 1 && look.column <= 20 ? 1 : 0, 0, 0, 0), true};
    return {QMargins(2, 2, 2, 2), false};
}

const QImage& paperPicture(const PaperLook& look)
{
    static QHash<PaperLook, QImage> pictures;
    QImage& picture = pictures[look];
    if (picture.isNull()) {
        const Reach r = reach(look);
        picture = QImage((look.size.grownBy(r.margins)) * look.ratio,
                         r.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(look.ratio);
        picture.fill(r.opaque ? Qt::white : Qt::transparent);
        QPainter painter(&picture);
        paintPaper(painter, QRect(QPoint(r.margins.left(), r.margins.top()), look.size), look.column, look.edges);
    }
    return picture;
}

// A text laid out once, placed in its cell as drawText() would place it.
struct CellText {
    QStaticText text;
    QSizeF size;
};

const CellText& cellText(const QString& shown, int column)
{
    // A glyph run for every distinct text of a long essay: a few hundred bytes each.
    static QCache<std::pair<QString, bool>, CellText> texts(20000);
    const std::pair<QString, bool> key{shown, column == 0};
    if (const CellText* cached = texts.object(key))
        return *cached;
    const QFont font = cellFont(column);
    QTextLayout layout(shown, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    auto* text = new CellText{QStaticText(shown), {line.naturalTextWidth(), line.height()}};
    text->text.setTextFormat(Qt::PlainText);
    text->text.prepare(QTransform(), font);
    const CellText& kept = *text;
    texts.insert(key, text);
    return kept;
}

void paintLaidText(QPainter& painter, const QRect& cell, int column, const QString& shown)
{
    const CellText& laid = cellText(shown, column);
    const qreal x = leftAligned(shown) ? 0 : (cell.width() - laid.size.width()) / 2;
    const qreal y = (cell.height() - laid.size.height()) / 2;
    painter.save();
    painter.setFont(cellFont(column));
    painter.setPen(textColour(column));
    painter.drawStaticText(QPointF(cell.left() + x, cell.top() + y), laid.text);
    painter.restore();
}

// Whole cells, paper and text, for the texts met so far: copying one is the fastest way to
// paint a cell. An essay of the course's length takes a few megabytes; once the pictures take
// kCellPictureBytes (an essay of 12,000 different syllables), further cells are painted from
// their paper's picture and their laid-out text instead.
constexpr qsizetype kCellPictureBytes = 48 * 1024 * 1024;

struct CellLook {
    QString shown;
    PaperLook paper;
    bool operator==(const CellLook&) const = default;
};

size_t qHash(const CellLook& look, size_t seed = 0)
{
    return qHashMulti(seed, look.shown, look.paper);
}

const QImage* cellPicture(const CellLook& look)
{
    static QHash<CellLook, QImage> pictures;
    static qsizetype bytes = 0;
    if (const auto found = pictures.constFind(look); found != pictures.constEnd())
        return &*found;
    if (bytes >= kCellPictureBytes)
        return nullptr;
    QImage picture = paperPicture(look.paper).copy();
    picture.setDevicePixelRatio(look.paper.ratio);
    QPainter painter(&picture);
    const QMargins margins = reach(look.paper).margins;
    const QRect cell(QPoint(margins.left(), margins.top()), look.paper.size);
    // The text of a cell without a box lies on the white sheet.
    if (look.paper.column < 1 || look.paper.column > 20)
        painter.fillRect(cell, Qt::white);
    paintLaidText(painter, cell, look.paper.column, look.shown);
    painter.end();
    bytes += picture.sizeInBytes();
    return &*pictures.insert(look, picture);
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
    }
    const bool edges = !lastLine && line % 30 != 29 && (column == 1 || column == 20);
    const int ratio = copyableRatio(painter);
    if (ratio == 0) {
        paintPaper(painter, cell, column, edges);
        if (!shown.isEmpty())
            paintText(painter, cell, column, shown);
        return;
    }
    // The inner writing columns all look alike.
    const PaperLook paper{column > 1 && column < 20 ? 2 : column, edges, cell.size(), ratio};
    const QMargins margins = reach(paper).margins;
    const QPoint corner = cell.topLeft() - QPoint(margins.left(), margins.top());
    if (!shown.isEmpty()) {
        if (const QImage* picture = cellPicture({shown, paper})) {
            painter.drawImage(corner, *picture);
            return;
        }
    }
    if (column >= 1 && column <= 20)
        painter.drawImage(corner, paperPicture(paper));
    if (!shown.isEmpty())
        paintLaidText(painter, cell, column, shown);
}
