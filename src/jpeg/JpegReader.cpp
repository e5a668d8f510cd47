#include "jpeg/JpegReader.h"

#include "core/AppError.h"
#include "jpeg/JpegErrors.h"

#include <QString>

#include <vector>

namespace Jpeg {

namespace {

// 0xffRRGGBB words, so the byte order decides libjpeg's layout.
constexpr J_COLOR_SPACE kDecodeSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

void watchScans(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        jumpOut(info, "too many progressive scans");
}

// Everything the decoding touches after setjmp lives here, in the caller's frame, so a
// jump back skips no destructor and finds no value left in a register.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    bool created = false;
    QString refusal;  // a fault found by us rather than by libjpeg

    Decoder()
    {
        info.err = &err.pub;
        initErrors(err);
        progress.progress_monitor = watchScans;
    }
    ~Decoder()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

// Adobe writes CMYK inverted; others write it straight.
void cmykToRgb32(const JSAMPLE* cmyk, uchar* out, JDIMENSION width, bool inverted)
{
    auto* px = reinterpret_cast<quint32*>(out);
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        quint32 c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        px[x] = 0xff000000u | (c * k / 255) << 16 | (m * k / 255) << 8 | (y * k / 255);
    }
}

bool runDecode(Decoder& d, const uchar* data, unsigned long size, const std::function<RowTarget(int, int)>& target)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, data, size);
    jpeg_read_header(&d.info, TRUE);
    if (qint64(d.info.image_width) * d.info.image_height > kMaxPixels) {
        d.refusal = QStringLiteral("그림이 %1×%2 화소로 너무 큽니다 (%3만 화소까지 읽습니다).")
                        .arg(d.info.image_width)
                        .arg(d.info.image_height)
                        .arg(kMaxPixels / 10000);
        return false;
    }
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : kDecodeSpace;
    jpeg_start_decompress(&d.info);
    const RowTarget rows = target(int(d.info.output_width), int(d.info.output_height));
    if (!rows.first) {
        d.refusal = QStringLiteral("그림을 담을 메모리가 모자랍니다.");
        return false;
    }
    JSAMPARRAY cmykRow = cmyk ? (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                                            d.info.output_width * 4, 1)
                              : nullptr;
    while (d.info.output_scanline < d.info.output_height) {
        uchar* line = rows.first + rows.stride * qsizetype(d.info.output_scanline);
        if (cmyk) {
            jpeg_read_scanlines(&d.info, cmykRow, 1);
            cmykToRgb32(cmykRow[0], line, d.info.output_width, d.info.saw_Adobe_marker);
        } else {
            JSAMPROW row = line;
            jpeg_read_scanlines(&d.info, &row, 1);
        }
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

bool runReadHeader(Decoder& d, const uchar* data, unsigned long size)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, data, size);
    jpeg_read_header(&d.info, TRUE);
    return true;
}

}

Size readSize(QByteArrayView bytes)
{
    Decoder d;
    if (!runReadHeader(d, reinterpret_cast<const uchar*>(bytes.data()), static_cast<unsigned long>(bytes.size())))
        throw AppError(QStringLiteral("JPEG 그림을 읽을 수 없습니다: %1").arg(QString::fromLatin1(d.err.message)));
    return {int(d.info.image_width), int(d.info.image_height)};
}

void readRows(QByteArrayView bytes, const std::function<RowTarget(int width, int height)>& target)
{
    Decoder d;
    if (!runDecode(d, reinterpret_cast<const uchar*>(bytes.data()), static_cast<unsigned long>(bytes.size()), target))
        throw AppError(d.refusal.isEmpty()
                           ? QStringLiteral("JPEG 그림을 읽을 수 없습니다: %1").arg(QString::fromLatin1(d.err.message))
                           : d.refusal);
}

void verify(QByteArrayView bytes)
{
    std::vector<uchar> row;
    readRows(bytes, [&row](int width, int) {
        row.resize(size_t(width) * 4);
        return RowTarget{row.data(), 0};
    });
}

}
