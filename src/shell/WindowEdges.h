#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

// Which part of the frameless window a point is on, in the platform's hit-test codes.
namespace WindowEdges {

enum HitCode {
    HTCLIENT = 1,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
};

// How wide the band along each edge is that resizes.
constexpr int kBand = 4;

// The answer before the window's own rule: edges and corners within the band.
HitCode rawHitTest(QPoint pos, QSize size);
// The window's rule: the height changes by the top and bottom edges, the width never,
// so left, right and corner answers become a plain border.
HitCode restrict(HitCode code);
// The edge a resize starts from, none for anything but the top and bottom edges.
Qt::Edges resizeEdges(QPoint pos, QSize size);

}
