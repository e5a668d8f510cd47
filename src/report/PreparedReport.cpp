#include "report/PreparedReport.h"

#include <QPainter>

#include <algorithm>

namespace {

struct ItemPainter {
    QPainter& painter;
    QTransform transform;  // layout units to the device

    // Lines are snapped to whole device pixels and never thinner than one, so a 1-unit
    // frame shows evenly at every zoom instead of one or two pixels by chance.
    void operator()(const ReportFill& fill) const
    {
        const QRectF device = transform.mapRect(fill.rect);
        const QRect snapped(qRound(device.left()), qRound(device.top()), std::max(qRound(device.width()), 1),
                            std::max(qRound(device.height()), 1));
        painter.setWorldTransform(QTransform());
        painter.fillRect(snapped, fill.color);
        painter.setWorldTransform(transform);
    }

    void operator()(const ReportTextLine& line) const
    {
        painter.setFont(line.font);
        painter.setPen(line.color);
        painter.drawText(QPointF(line.box.left(), line.box.top() + line.ascent), line.text);
    }

    void operator()(const ReportPicture& picture) const { painter.drawImage(picture.rect, picture.image); }
};

}

void PreparedReport::paintPage(QPainter& painter, int index) const
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ItemPainter paint{painter, painter.worldTransform()};
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
