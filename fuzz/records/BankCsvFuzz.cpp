#include "core/AppError.h"
#include "document/BankEntry.h"

#include <cstdint>

// A comment-bank CSV file as a teacher or the course's operator imports it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const QList<BankEntry> entries =
            BankCsv::Read(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        BankCsv::Read(BankCsv::Write(entries));
    } catch (const AppError&) {
    }
    return 0;
}
