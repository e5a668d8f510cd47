#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// A scanned page of an essay corrected on paper, as a handwritten correction keeps it:
// 670 pixels wide, stored as JPEG.
struct HandwrittenPage {
    static constexpr int kWidth = 670;

    QByteArray jpeg;    // quality 90
    QImage picture;     // what the JPEG shows
    QString imageType;  // the picture file's extension with its dot, empty without one

    // The size a picture is stretched to: 670 wide, the height scaled by the same factor
    // and rounded to the nearest integer, halves to even (1340 x 1001 gives 670 x 500).
    static QSize scaledSize(QSize picture);

    // Reads a JPEG or any picture Qt reads (BMP among them), by its content. A file that
    // cannot be read or decoded raises the picture reader's error; nothing is half made.
    static HandwrittenPage fromFile(const QString& path);
};
