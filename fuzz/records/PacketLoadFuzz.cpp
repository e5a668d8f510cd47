// Any bytes given to the dataset either load or raise an error; what loads writes out and
// reads back to exactly the same content in both packet forms.
#include "core/AppError.h"
#include "dataset/DataSet.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DataSet ds;
    try {
        ds.loadPacket(QByteArrayView(data, qsizetype(size)));
    } catch (const AppError&) {
        return 0;
    }
    const QByteArray xml = ds.toPacket(PacketForm::Xml);
    DataSet fromXml, fromBinary;
    fromXml.loadPacket(xml);
    fromBinary.loadPacket(ds.toPacket(PacketForm::Binary));
    if (fromXml.toPacket(PacketForm::Xml) != xml || fromBinary.toPacket(PacketForm::Xml) != xml)
        std::abort();
    return 0;
}
