#pragma once

#include <QImage>
#include <QRect>

// How many pixels of the area are the marks' red: enough of them means a mark was drawn there.
inline int RedPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            count += qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
        }
    return count;
}
