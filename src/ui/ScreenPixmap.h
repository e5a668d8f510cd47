#pragma once

#include <QPixmap>

// A transparent pixmap of `size` logical pixels made of as many device pixels as the
// sharpest screen shows (1.5 or 2 per pixel on a scaled screen), so pictures drawn into it
// with a painter stay crisp at every scale instead of being stretched.
QPixmap ScreenPixmap(QSize size);

// The device pixels per logical pixel of the sharpest screen; 1 without screens.
qreal ScreenPixelRatio();
