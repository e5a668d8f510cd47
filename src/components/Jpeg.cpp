#include "components/Jpeg.h"

#include "common/AppError.h"

#include <QPainter>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace Jpeg {

namespace {

// QImage::Format_RGB32 holds 0xffRRGGBB words, so the byte order decides libjpeg's layout.
constexpr J_COLOR_SPACE kDecodeSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
constexpr J_COLOR_SPACE kEncodeSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer is ours too
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOut(j_common_ptr info, const char* message)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(err->message, sizeof err->message, "%s", message);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void errorExit(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    jumpOut(info, text);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        errorExit(info);  // a warning: the data is corrupt or cut short
}

void outputMessage(j_common_ptr) {}

void watchScans(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        jumpOut(info, "too many progressive scans");
}

void initErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
}

// Everything the decoding touches after setjmp lives here, in the caller's frame, so a
// jump back skips no destructor and finds no value left in a register.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    bool created = false;
    QImage image;
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
    auto* px = reinterpret_cast<QRgb*>(out);
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        px[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

bool runDecode(Decoder& d, const uchar* data, unsigned long size)
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
    d.image = QImage(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGB32);
    if (d.image.isNull()) {
        d.refusal = QStringLiteral("그림을 담을 메모리가 모자랍니다.");
        return false;
    }
    JSAMPARRAY cmykRow = cmyk ? (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                                           d.info.output_width * 4, 1)
                              : nullptr;
    while (d.info.output_scanline < d.info.output_height) {
        uchar* line = d.image.scanLine(int(d.info.output_scanline));
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

void termDestination(j_compress_ptr) {}

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
    Decoder d;
    if (!runDecode(d, reinterpret_cast<const uchar*>(bytes.data()), static_cast<unsigned long>(bytes.size())))
        throw AppError(d.refusal.isEmpty()
                           ? QStringLiteral("JPEG 그림을 읽을 수 없습니다: %1").arg(QString::fromLatin1(d.err.message))
                           : d.refusal);
    return std::move(d.image);
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
