#include "components/PreparedReport.h"

#include <QPainter>

#include <cmath>

namespace {

struct ItemPainter {
    QPainter& painter;
    double minimum;  // one device pixel, in layout units

    void operator()(const ReportFill& fill) const
    {
        QRectF rect = fill.rect;
        if (rect.width() < minimum)
            rect.setWidth(minimum);
        if (rect.height() < minimum)
            rect.setHeight(minimum);
        painter.fillRect(rect, fill.color);
    }

    void operator()(const ReportTextLine& line) const
    {
        painter.setFont(line.font);
        painter.setPen(line.color);
        painter.drawText(QPointF(line.box.left(), line.box.top() + line.ascent), line.text);
    }

    void operator()(const ReportPicture& picture) const
    {
        painter.drawImage(picture.rect, picture.image);
    }
};

}

void PreparedReport::paintPage(QPainter& painter, int index) const
{
    const QTransform& t = painter.worldTransform();
    const double scale = std::max(std::hypot(t.m11(), t.m12()), 1e-6);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ItemPainter paint{painter, 1.0 / scale};
    for (const ReportItem& item : pages.at(index).items)
        std::visit(paint, item);
    painter.restore();
}

QImage PreparedReport::renderPage(int index, double pixelsPerUnit) const
{
    const QSizeF size = pages.at(index).size * pixelsPerUnit;
    QImage image(qCeil(size.width()), qCeil(size.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(pixelsPerUnit, pixelsPerUnit);
    paintPage(painter, index);
    return image;
}
