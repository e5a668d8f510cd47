#include "dataset/DataPacket.h"

#include "core/AppError.h"
#include "dataset/BinaryPacket.h"
#include "dataset/XmlPacket.h"
#include "text/Cp949.h"

namespace DataPackets {

QByteArray write(const DataPacket& packet, PacketForm form)
{
    return form == PacketForm::Xml ? XmlPacket::write(packet) : BinaryPacket::write(packet);
}

DataPacket read(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView(BinaryPacket::kMagic)))
        return BinaryPacket::read(bytes);
    return XmlPacket::read(bytes);
}

void fail(PacketForm form, qint64 offset, const QString& detail)
{
    throw AppError(QStringLiteral("저장된 자료를 읽을 수 없습니다 (%1 형식, %2번째 바이트): %3")
                       .arg(form == PacketForm::Xml ? QStringLiteral("XML") : QStringLiteral("이진"))
                       .arg(offset + 1)
                       .arg(detail));
}

bool decodeText(QByteArrayView bytes, QString* text)
{
    bool ascii = true;
    for (char c : bytes)
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        *text = QString::fromLatin1(bytes);
        return true;
    }
    *text = Cp949::decode(bytes.toByteArray());
    // Code page 949 cannot hold U+FFFD, so finding one means the bytes were not valid.
    return !text->contains(QChar::ReplacementCharacter);
}

FieldValue textValue(const FieldDef& field, QString text)
{
    if (field.type == FieldType::String)
        text = Cp949::leftBytes(text, field.size);
    return text;
}

}
