#include "correction/Thumbnail.h"

#include "core/Endpoint.h"
#include "jpeg/Jpeg.h"

#include <QPainter>

namespace Thumbnail {

namespace {

// 24 points on the 96-dot-per-inch surface every picture of the program is drawn for.
constexpr int kAddressPixels = 32;

}

QImage Board(const QImage& page, const QImage& comment)
{
    const int width = page.width() + kCommentGap + kCommentWidth;
    QImage thumbnail(width, std::max(page.height(), comment.height()), QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.drawImage(0, 0, page);
    painter.drawImage(page.width() + kCommentGap, 0, comment);
    return thumbnail;
}

void WriteSiteAddress(QImage& thumbnail)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kAddressPixels);
    font.setBold(true);
    font.setItalic(true);
    QPainter painter(&thumbnail);
    painter.setFont(font);
    painter.setPen(QColor(0xFF, 0, 0));
    painter.drawText(thumbnail.rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, DefaultServerUrl());
}

QByteArray Encode(QImage thumbnail)
{
    if (!thumbnail.isNull())
        thumbnail.convertTo(QImage::Format_RGB32);
    WriteSiteAddress(thumbnail);
    return Jpeg::encode(thumbnail);
}

}
