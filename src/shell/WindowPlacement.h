#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window goes on its screen's available area: a mode's size that does not
// fit is cut to the area (the frame scrolls inside it), and the window lies wholly on it.
namespace WindowPlacement {

// The wanted size, no wider and no taller than the area; an empty area changes nothing.
QSize Fit(QSize wanted, const QRect& available);
// The top-left corner of a window of that size: centred on the area, never outside it.
QPoint Place(QSize size, const QRect& available);

}
