#include "shell/LaunchFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const LaunchFields fields = LaunchFile::split(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (fields.count() < 1)
        std::abort();
    const QString& last = fields.all().last();
    if (!last.isEmpty() && (last.front().unicode() <= 32 || last.back().unicode() <= 32))
        std::abort();
    return 0;
}
