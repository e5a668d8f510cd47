#include "jpeg/Jpeg.h"

#include "core/AppError.h"
#include "jpeg/JpegErrors.h"
#include "jpeg/JpegReader.h"

#include <QPainter>

#include <cstdlib>

namespace Jpeg {

namespace {

// QImage::Format_RGB32 holds 0xffRRGGBB words, so the byte order decides libjpeg's layout.
constexpr J_COLOR_SPACE kEncodeSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// A growing malloc buffer: libjpeg's own memory destination leaves a dangling pointer
// behind when an error strikes after it has grown.
struct Destination {
    jpeg_destination_mgr pub;
    JOCTET* buffer = nullptr;
    size_t capacity = 0;
};

void initDestination(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->capacity = 64 * 1024;
    dest->buffer = static_cast<JOCTET*>(std::malloc(dest->capacity));
    if (!dest->buffer)
        jumpOut(reinterpret_cast<j_common_ptr>(info), "out of memory");
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean growDestination(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    auto* grown = static_cast<JOCTET*>(std::realloc(dest->buffer, dest->capacity * 2));
    if (!grown)
        jumpOut(reinterpret_cast<j_common_ptr>(info), "out of memory");
    dest->buffer = grown;
    dest->pub.next_output_byte = grown + dest->capacity;
    dest->pub.free_in_buffer = dest->capacity;
    dest->capacity *= 2;
    return TRUE;
}

void termDestination(j_compress_ptr)
{
}

struct Encoder {
    jpeg_compress_struct info{};
    ErrorManager err{};
    Destination dest;
    bool created = false;

    Encoder()
    {
        info.err = &err.pub;
        initErrors(err);
        dest.pub.init_destination = initDestination;
        dest.pub.empty_output_buffer = growDestination;
        dest.pub.term_destination = termDestination;
    }
    ~Encoder()
    {
        if (created)
            jpeg_destroy_compress(&info);
        std::free(dest.buffer);
    }
    qsizetype written() const { return qsizetype(dest.capacity - dest.pub.free_in_buffer); }
};

bool runEncode(Encoder& e, const QImage& image)
{
    if (setjmp(e.err.jump))
        return false;
    jpeg_create_compress(&e.info);
    e.created = true;
    e.info.dest = &e.dest.pub;
    e.info.image_width = JDIMENSION(image.width());
    e.info.image_height = JDIMENSION(image.height());
    e.info.input_components = 4;
    e.info.in_color_space = kEncodeSpace;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, kQuality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    while (e.info.next_scanline < e.info.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(e.info.next_scanline)));
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

QImage opaqueRgb32(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, image);
    return paper;
}

}

QImage decode(QByteArrayView bytes)
{
    QImage image;
    readRows(bytes, [&image](int width, int height) {
        image = QImage(width, height, QImage::Format_RGB32);
        return RowTarget{image.isNull() ? nullptr : image.bits(), image.bytesPerLine()};
    });
    return image;
}

QByteArray encode(const QImage& image)
{
    if (image.isNull())
        throw AppError(QStringLiteral("빈 그림은 JPEG로 만들 수 없습니다."));
    const QImage rgb = opaqueRgb32(image);
    Encoder e;
    if (!runEncode(e, rgb))
        throw AppError(QStringLiteral("JPEG 그림을 만들 수 없습니다: %1").arg(QString::fromLatin1(e.err.message)));
    return QByteArray(reinterpret_cast<const char*>(e.dest.buffer), e.written());
}

}
