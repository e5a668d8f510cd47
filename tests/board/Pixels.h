#pragma once

#include <QImage>
#include <QRect>

// The pen's pure red within a pixel of (x, y): a 2-pixel line covers one of its neighbours.
inline bool RedNear(const QImage& image, int x, int y, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.rect().contains(p) && image.pixel(p) == qRgb(255, 0, 0))
                return true;
        }
    return false;
}

// The smallest box holding every pixel in which the two pictures differ; empty if none.
inline QRect DiffBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline QImage WhiteImage(int width = 400, int height = 400)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
