#include "ui/ScreenPixmap.h"

#include <QGuiApplication>

#include <cmath>

qreal ScreenPixelRatio()
{
    return qGuiApp ? std::max<qreal>(1, qGuiApp->devicePixelRatio()) : 1;
}

QPixmap ScreenPixmap(QSize size)
{
    const qreal ratio = ScreenPixelRatio();
    QPixmap pixmap(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
