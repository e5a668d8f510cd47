#include "core/AppError.h"
#include "shell/Configuration.h"
#include "text/IniFile.h"

#include <cstdint>

// The whole configuration path: INI text, then each value base64-decoded to text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const IniFile ini = IniFile::fromText(QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const char* key : {"URL", "title"}) {
        if (const auto value = ini.value(QStringLiteral("CONFIG"), QString::fromLatin1(key))) {
            try {
                DecodeConfigValue(*value);
            } catch (const AppError&) {
            }
        }
    }
    return 0;
}
