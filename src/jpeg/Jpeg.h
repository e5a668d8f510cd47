#pragma once

#include <QByteArray>
#include <QImage>

// JPEG through libjpeg. Every fault raises an error with a message; libjpeg never prints
// and never ends the program, and its warnings (corrupt or truncated data) are faults too.
namespace Jpeg {

inline constexpr int kQuality = 90;

// Greyscale, colour and CMYK pictures come back as QImage::Format_RGB32.
QImage decode(QByteArrayView bytes);

// Quality 90, baseline, 24-bit colour (YCbCr, 4:2:0), JFIF. Transparent parts are laid
// on white, as on paper.
QByteArray encode(const QImage& image);

}
