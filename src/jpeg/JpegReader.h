#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <functional>

// Reads a JPEG picture row by row through libjpeg with no picture class of its own: the
// codec builds its pictures on it, and the course server checks uploads with it. Every
// fault raises an error with a message.
namespace Jpeg {

// 50 megapixels: an A4 page scanned at 600 dpi (35 megapixels) fits, and a decoded
// picture stays under 200 MB.
inline constexpr qint64 kMaxPixels = 50'000'000;
// A normal progressive file has about ten scans; thousands only burn time.
inline constexpr int kMaxScans = 500;

// Where the rows go: row y is written at first + y * stride as 0xffRRGGBB words (stride 0
// writes every row to the same place). A null `first` means there is no room for it.
struct RowTarget {
    uchar* first;
    qsizetype stride;
};

// Greyscale, colour and CMYK pictures alike; `target` is asked once the size is known.
void readRows(QByteArrayView bytes, const std::function<RowTarget(int width, int height)>& target);

// Decodes the whole picture into one row's room: raises what decoding it would raise.
void verify(QByteArrayView bytes);

struct Size {
    int width;
    int height;
};
// The picture's size as its header gives it; nothing is decoded.
Size readSize(QByteArrayView bytes);

}
