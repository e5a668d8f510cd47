#include "board/TCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <utility>

TCanvas::TCanvas(QImage& surface) : FSurface(surface)
{
}

TCanvas::~TCanvas() = default;

int TCanvas::PointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

void TCanvas::SetFont(const QString& name, int points, bool bold)
{
    Font = QFont(name);
    Font.setPixelSize(PointsToPixels(points));
    Font.setBold(bold);
}

void TCanvas::Lock()
{
    if (FLockCount++ == 0 && !FSurface.isNull())
        FPainter = std::make_unique<QPainter>(&FSurface);
}

void TCanvas::Unlock()
{
    if (FLockCount == 0)
        return;
    if (--FLockCount == 0)
        FPainter.reset();
}

void TCanvas::Save()
{
    if (FSaveCount == 0) {
        FSavedPenWidth = PenWidth;
        FSavedPenColor = PenColor;
        FSavedBrushColor = BrushColor;
    }
    ++FSaveCount;
}

void TCanvas::Restore()
{
    if (--FSaveCount > 0)
        return;
    if (FSaveCount == 0) {
        PenWidth = FSavedPenWidth;
        PenColor = FSavedPenColor;
        BrushColor = FSavedBrushColor;
        PenMode = TPenMode::Copy;
    }
    FSaveCount = 0;
}

template <typename Paint>
void TCanvas::WithPainter(Paint paint)
{
    if (FPainter) {
        paint(*FPainter);
        return;
    }
    if (FSurface.isNull())
        return;
    QPainter painter(&FSurface);
    paint(painter);
}

void TCanvas::ApplyFigureState(QPainter& painter) const
{
    painter.setCompositionMode(PenMode == TPenMode::NotXor ? QPainter::RasterOp_NotSourceXorDestination
                                                           : QPainter::CompositionMode_SourceOver);
    painter.setPen(QPen(PenColor, PenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(BrushStyle == TBrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(BrushColor));
}

void TCanvas::Polyline(std::initializer_list<QPoint> points)
{
    WithPainter([&](QPainter& painter) {
        ApplyFigureState(painter);
        painter.drawPolyline(QPolygon(points));
    });
}

void TCanvas::Line(QPoint from, QPoint to)
{
    Polyline({from, to});
}

static QRectF FigureBox(int x1, int y1, int x2, int y2)
{
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    WithPainter([&](QPainter& painter) {
        ApplyFigureState(painter);
        painter.drawEllipse(FigureBox(x1, y1, x2, y2));
    });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (PenMode == TPenMode::NotXor && BrushStyle == TBrushStyle::Clear && PenWidth == 1) {
        InvertOutline(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
        return;
    }
    WithPainter([&](QPainter& painter) {
        ApplyFigureState(painter);
        painter.drawRect(FigureBox(x1, y1, x2, y2));
    });
}

// Every outline pixel exactly once, so drawing the same outline twice restores the picture;
// a painter would touch the corners of a thin outline twice. A box of one point is empty.
// On a picture of a higher pixel ratio each pixel of the outline covers its device pixels.
void TCanvas::InvertOutline(const QRect& box)
{
    if (FSurface.isNull() || box.size() == QSize(1, 1))
        return;
    if (FPainter)
        FPainter->end();
    const qreal ratio = FSurface.devicePixelRatio();
    auto device = [ratio](int from, int to) {
        return std::pair(int(std::floor(from * ratio)), int(std::floor((to + 1) * ratio)) - 1);
    };
    const auto [left, right] = device(box.left(), box.right());
    const auto [top, bottom] = device(box.top(), box.bottom());
    const auto [innerLeft, innerRight] = device(box.left() + 1, box.right() - 1);
    const auto [innerTop, innerBottom] = device(box.top() + 1, box.bottom() - 1);
    const QRgb pen = PenColor.rgb();
    auto flip = [&](int y, int fromX, int toX) {
        if (y < 0 || y >= FSurface.height())
            return;
        QRgb* line = reinterpret_cast<QRgb*>(FSurface.scanLine(y));
        for (int x = std::max(fromX, 0); x <= std::min(toX, FSurface.width() - 1); ++x)
            line[x] = (~(pen ^ line[x])) | 0xff000000u;
    };
    for (int y = top; y <= bottom; ++y) {
        if (y < innerTop || y > innerBottom || innerLeft > innerRight) {
            flip(y, left, right);
        } else {
            flip(y, left, innerLeft - 1);
            flip(y, innerRight + 1, right);
        }
    }
    if (FPainter)
        FPainter->begin(&FSurface);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, QPoint start, QPoint end)
{
    const QRectF box = FigureBox(x1, y1, x2, y2);
    const QPointF centre = box.center();
    const double a = box.width() / 2;
    const double b = box.height() / 2;
    // Qt's arc angles are eccentric angles; a ray's angle scales by the half-axes to become one.
    auto eccentric = [&](QPoint p) {
        return std::atan2(-(p.y() - centre.y()) * a, (p.x() - centre.x()) * b) * 180 / M_PI;
    };
    const double from = eccentric(start);
    double sweep = std::fmod(eccentric(end) - from + 720, 360);
    if (sweep == 0)
        sweep = 360;
    QPainterPath path;
    path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    WithPainter([&](QPainter& painter) {
        ApplyFigureState(painter);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    });
}

void TCanvas::TextRect(const QRect& box, const QString& text, TTextLayout layout)
{
    if (text.isEmpty())
        return;
    int flags = 0;
    switch (layout) {
    case TTextLayout::TopLeft:
        flags = Qt::AlignLeft | Qt::AlignTop;
        break;
    case TTextLayout::TopCentred:
        flags = Qt::AlignHCenter | Qt::AlignTop;
        break;
    case TTextLayout::CentredLine:
        flags = Qt::AlignCenter | Qt::TextSingleLine;
        break;
    case TTextLayout::TopCentredLine:
        flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
        break;
    }
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setFont(Font);
        painter.setPen(FontColor);
        painter.setClipRect(box);
        painter.drawText(box, flags, shown);
        painter.setClipping(false);
    });
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(Font).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) const
{
    return QFontMetrics(Font).height();
}
