#pragma once

#include "dataset/DataPacket.h"

// The XML form, the one this program writes. Text is code page 949; a row is one empty
// element whose attributes are the non-null fields; blobs are base64.
namespace XmlPacket {

QByteArray write(const DataPacket& packet);

// Reads the subset of XML the writer produces (and what any XML tool makes of it): no
// document type declarations, no entities beyond the five predefined ones and character
// references, no CDATA.
DataPacket read(QByteArrayView bytes);

}
