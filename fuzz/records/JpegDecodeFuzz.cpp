// Any bytes given to the JPEG decoder either decode or raise an error: no crash, no exit.
#include "core/AppError.h"
#include "jpeg/Jpeg.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QImage image;
    try {
        image = Jpeg::decode(QByteArrayView(data, qsizetype(size)));
    } catch (const AppError&) {
        return 0;
    }
    if (image.isNull() || image.format() != QImage::Format_RGB32)
        std::abort();
    return 0;
}
