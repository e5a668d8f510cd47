#pragma once

#include "dataset/DataPacket.h"

// The compact form: little-endian lengths, a null bitmap per row, raw bytes for blobs.
namespace BinaryPacket {

inline constexpr char kMagic[] = "DZDP";

QByteArray write(const DataPacket& packet);
DataPacket read(QByteArrayView bytes);

}
