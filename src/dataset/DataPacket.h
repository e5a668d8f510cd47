#pragma once

#include "dataset/FieldDef.h"

#include <QByteArrayView>

// The whole content of a dataset as it travels: the field list and the rows, each row one
// value per field. docs/packet-format.md gives both forms byte for byte.
struct DataPacket {
    QList<FieldDef> fields;
    QList<FieldRow> rows;
};

enum class PacketForm { Xml, Binary };

namespace DataPackets {

// Rows × fields above this are refused, so a small hostile packet cannot make the reader
// allocate without bound.
inline constexpr qint64 kMaxValues = 1'000'000;

// Raises an error naming the first character code page 949 cannot hold.
QByteArray write(const DataPacket& packet, PacketForm form);

// Takes either form, told apart by the binary form's leading magic. Any fault raises an
// error that says where in the packet it lies.
DataPacket read(QByteArrayView bytes);

// Shared by the two readers.
[[noreturn]] void fail(PacketForm form, qint64 offset, const QString& detail);
// Strict code page 949: bytes that do not decode are refused, never turned into U+FFFD.
bool decodeText(QByteArrayView bytes, QString* text);
// Strings longer than their field are cut on the way in, as when they are set.
FieldValue textValue(const FieldDef& field, QString text);

}
