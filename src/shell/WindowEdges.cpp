#include "shell/WindowEdges.h"

namespace WindowEdges {

HitCode rawHitTest(QPoint pos, QSize size)
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= size.width() || pos.y() >= size.height())
        return HTCLIENT;
    const bool left = pos.x() < kBand;
    const bool right = pos.x() >= size.width() - kBand;
    const bool top = pos.y() < kBand;
    const bool bottom = pos.y() >= size.height() - kBand;
    if (top)
        return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (bottom)
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left)
        return HTLEFT;
    if (right)
        return HTRIGHT;
    return HTCLIENT;
}

HitCode restrict(HitCode code)
{
    switch (code) {
    case HTLEFT:
    case HTRIGHT:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
        return HTBORDER;
    default:
        return code;
    }
}

Qt::Edges resizeEdges(QPoint pos, QSize size)
{
    switch (restrict(rawHitTest(pos, size))) {
    case HTTOP:
        return Qt::TopEdge;
    case HTBOTTOM:
        return Qt::BottomEdge;
    default:
        return {};
    }
}

}
