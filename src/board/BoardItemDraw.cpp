#include "board/BoardItem.h"

#include "board/TCanvas.h"

#include <QRect>
#include <algorithm>
#include <limits>

namespace {

// Stored records may hold any edges; sums near the 32-bit limits saturate instead of wrapping.
int Clamp(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QPoint P(qint64 x, qint64 y)
{
    return QPoint(Clamp(x), Clamp(y));
}

QRect Box(qint64 left, qint64 top, qint64 right, qint64 bottom)
{
    return QRect(P(left, top), QSize(Clamp(right - left), Clamp(bottom - top)));
}

// Teeth 8 wide and 4 high on the bottom edge, from x0 while x < right. Teeth wholly off
// the surface are skipped without changing where the visible ones stand, so an absurdly
// wide stored item does not stall the drawing.
void SawTeeth(TCanvas& canvas, qint64 x0, qint64 right, qint64 bottom)
{
    qint64 x = x0;
    if (x < -8)
        x += (-8 - x) / 8 * 8;
    const qint64 end = std::min<qint64>(right, qint64(canvas.Width()) + 8);
    for (; x < end; x += 8)
        canvas.Polyline({P(x, bottom), P(x + 4, bottom - 4), P(x + 8, bottom)});
}

}  // namespace

void TBoardItem::Draw(TCanvas& canvas)
{
    SetStrings(DrawnStrings(FDrawTool, FStrings));
    canvas.PenColor = QColor(255, 0, 0);
    canvas.FontColor = canvas.PenColor;
    canvas.SetFont(QStringLiteral("굴림체"), 10, false);
    canvas.PenWidth = 2;
    canvas.BrushStyle = TBrushStyle::Clear;

    const qint64 L = FLeft, T = FTop, R = FRight, B = FBottom;
    const qint64 cx = L + (R - L) / 2, cy = T + (B - T) / 2;
    const qint64 q1 = L + (R - L) / 4, q3 = L + ((R - L) / 4) * 3;
    QRect textBox = Box(L, T, R, B);
    bool drewStrings = false;

    auto line = [&](qint64 x1, qint64 y1, qint64 x2, qint64 y2) { canvas.Line(P(x1, y1), P(x2, y2)); };
    auto arc = [&](qint64 x1, qint64 y1, qint64 x2, qint64 y2, QPoint start, QPoint end) {
        canvas.Arc(Clamp(x1), Clamp(y1), Clamp(x2), Clamp(y2), start, end);
    };
    auto ownText = [&](TTextLayout layout) {
        canvas.TextRect(textBox, FStrings, layout);
        drewStrings = true;
    };
    auto boldSign = [&] {
        canvas.SetFont(QStringLiteral("굴림체"), 16, true);
        ownText(TTextLayout::TopLeft);
        SawTeeth(canvas, L + canvas.TextWidth(FStrings), R, B);
    };

    switch (FDrawTool) {
    case dt11:
        canvas.Polyline({P(L, T), P(cx, B), P(R, T)});
        break;
    case dt12:
        canvas.Polyline({P(q1, T), P(cx, B), P(q3, T)});
        line(L, T + 8, R, T + 8);
        line(L, T + 12, R, T + 12);
        break;
    case dt13:
        // The stroke turns at the right quarter point: the top of dt12's V closed over,
        // its left arm left out.
        line(L, T + 8, R, T + 8);
        line(L, T + 12, R, T + 12);
        canvas.Polyline({P(q1, T), P(q3, T), P(cx, B)});
        break;
    case dt14:
        canvas.Polyline({P(L, cy - 5), P(L + 5, cy), P(R - 5, cy), P(R, cy - 5)});
        ownText(TTextLayout::TopCentred);
        break;
    case dt15: {
        canvas.Polyline({P(L, B), P(cx, T), P(R, B)});
        const int h = canvas.TextHeight(FStrings);
        textBox = Box(L, B - h, R, B);
        ownText(TTextLayout::TopCentred);
        break;
    }
    case dt16:
        line(L, cy - 2, R, cy - 2);
        line(L, cy + 2, R, cy + 2);
        break;
    case dt17:
        canvas.Polyline(
            {P(L, B - 6), P(L + 3, B - 3), P(cx - 3, B - 3), P(cx, B), P(cx + 3, B - 3), P(R - 3, B - 3), P(R, B - 6)});
        ownText(TTextLayout::TopCentred);
        break;
    case dt18:
        canvas.Ellipse(Clamp(L), Clamp(T + 40), Clamp(R), Clamp(B));
        arc(cx - 10, T + 20, cx + 10, T + 40, P(cx + 20, T + 30), P(cx, T + 40));
        arc(cx, T + 10, cx + 20, T + 30, P(cx + 30, T + 20), P(cx + 10, T + 30));
        arc(cx + 10, T, cx + 30, T + 20, P(cx + 40, T + 10), P(cx + 20, T + 20));
        break;
    case dt21:
        canvas.Ellipse(Clamp(L), Clamp(T), Clamp(R), Clamp(B));
        ownText(TTextLayout::CentredLine);
        break;
    case dt22:
        arc(L, T, R, B, P(R, T + 15), P(L, T + 15));
        break;
    case dt23:
        arc(L, T + 4, R, B, P(R, T + 15), P(L, T + 15));
        line(cx - 2, T, cx - 2, T + 10);
        line(cx + 2, T, cx + 2, T + 10);
        break;
    case dt24:
        arc(L, T, cx, B, P(L, cy), P(cx, cy));
        arc(cx, T, R, B, P(R, cy), P(cx, cy));
        break;
    case dt25:
    case dt26: {
        const qint64 y1 = cy - (cy - T) / 2, y3 = cy + (B - cy) / 2;
        const qint64 open = FDrawTool == dt25 ? R : L, closed = FDrawTool == dt25 ? L : R;
        canvas.Polyline({P(open, T), P(open, y1), P(closed, y1), P(closed, y3), P(open, y3), P(open, B)});
        break;
    }
    case dt27: {
        const qint64 d = B - T;
        canvas.Ellipse(Clamp(L), Clamp(T + 8), Clamp(L + d), Clamp(B));
        canvas.Polyline({P(L + d / 2, T + 8), P(L + d / 2, T), P(R - 4, T), P(R - 4, T + 8)});
        canvas.Polyline({P(R - 8, T + 4), P(R - 4, T + 8), P(R, T + 4)});
        break;
    }
    case dt31:
        canvas.Polyline({P(L, B), P(cx, B), P(cx, T), P(R, T)});
        break;
    case dt32:
        canvas.Polyline({P(L + 10, B), P(L, B), P(L, cy), P(R, cy), P(R, T + 4), P(R - 10, T + 4), P(R - 6, T)});
        line(R - 10, T + 4, R - 6, T + 8);
        break;
    case dt33:
        canvas.Polyline({P(L, T), P(R, cy), P(L, B)});
        break;
    case dt34:
        arc(L, T, R, B, P(L + 10, T), P(L + 10, B));
        break;
    case dt35:
        canvas.Polyline({P(L, T), P(R, T), P(R, cy), P(L, cy), P(L, B), P(R, B)});
        break;
    case dt41:
        canvas.Rectangle(Clamp(L), Clamp(T), Clamp(R), Clamp(B));
        ownText(TTextLayout::CentredLine);
        break;
    case dt42:
        canvas.Polyline({P(L, T), P(cx, cy), P(R, T)});
        line(L, B - 4, R, B - 4);
        line(L, B, R, B);
        ownText(TTextLayout::TopCentredLine);
        break;
    case dt43:
        SawTeeth(canvas, L, R, B);
        break;
    case dt44:
        boldSign();
        break;
    case dt45:
        boldSign();
        break;
    case dt46:
        line(L, T, R, T);
        break;
    case dtText:
    case dtNumber:
        ownText(TTextLayout::TopLeft);
        break;
    case dtLeft:
        arc(L, T, R, B, P(cx, T), P(cx, B));
        break;
    case dtRight:
        arc(L, T, R, B, P(cx, B), P(cx, T));
        break;
    default:
        break;
    }

    canvas.TextRect(textBox, FReportPoint, TTextLayout::TopLeft);
    if (!drewStrings)
        canvas.TextRect(textBox, FStrings, TTextLayout::TopCentred);
}
