#include "dataset/BinaryPacket.h"

#include "core/AppError.h"
#include "text/Cp949.h"

#include <QtEndian>

namespace BinaryPacket {

namespace {

constexpr quint8 kVersion = 1;

constexpr FieldType kTypeCodes[] = {FieldType::String, FieldType::SmallInt, FieldType::Integer,
                                    FieldType::Memo,   FieldType::Blob,     FieldType::Picture};

quint8 typeCode(FieldType type)
{
    for (quint8 i = 0; i < std::size(kTypeCodes); ++i)
        if (kTypeCodes[i] == type)
            return i + 1;
    return 0;
}

template <typename T>
void put(QByteArray& out, T value)
{
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

void putBytes(QByteArray& out, const QByteArray& bytes)
{
    put<quint32>(out, quint32(bytes.size()));
    out.append(bytes);
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    [[noreturn]] void fail(const QString& detail) const { DataPackets::fail(PacketForm::Binary, pos_, detail); }

    qsizetype remaining() const { return bytes_.size() - pos_; }

    QByteArrayView take(qint64 n, const char* what)
    {
        if (n > remaining())
            fail(QStringLiteral("%1에 %2바이트가 필요한데 %3바이트만 남았습니다 (자료가 잘렸습니다)")
                     .arg(QLatin1String(what))
                     .arg(n)
                     .arg(remaining()));
        const QByteArrayView part = bytes_.sliced(pos_, n);
        pos_ += n;
        return part;
    }

    template <typename T>
    T number(const char* what)
    {
        return qFromLittleEndian<T>(take(sizeof(T), what).data());
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

FieldDef readField(Reader& in)
{
    FieldDef field;
    const quint8 code = in.number<quint8>("필드 종류");
    if (code < 1 || code > std::size(kTypeCodes))
        in.fail(QStringLiteral("알 수 없는 필드 종류 %1").arg(code));
    field.type = kTypeCodes[code - 1];
    field.size = in.number<quint16>("필드 크기");
    const quint8 nameLength = in.number<quint8>("필드 이름 길이");
    field.name = QString::fromLatin1(in.take(nameLength, "필드 이름"));
    return field;
}

FieldValue readValue(Reader& in, const FieldDef& field)
{
    switch (field.type) {
    case FieldType::SmallInt:
        return qint32(in.number<qint16>("16비트 정수"));
    case FieldType::Integer:
        return in.number<qint32>("32비트 정수");
    case FieldType::String:
    case FieldType::Memo: {
        const QByteArrayView bytes = in.take(in.number<quint32>("글자 수"), "글자");
        QString text;
        if (!DataPackets::decodeText(bytes, &text))
            in.fail(QStringLiteral("'%1' 필드의 글자가 완성형 한글 코드(CP949)가 아닙니다").arg(field.name));
        return DataPackets::textValue(field, text);
    }
    case FieldType::Blob:
    case FieldType::Picture:
        return in.take(in.number<quint32>("바이트 수"), "바이트").toByteArray();
    }
    return {};
}

}

QByteArray write(const DataPacket& packet)
{
    FieldDefs::validate(packet.fields);
    QByteArray out;
    out.append(kMagic);
    put<quint8>(out, kVersion);
    put<quint16>(out, quint16(packet.fields.size()));
    for (const FieldDef& f : packet.fields) {
        put<quint8>(out, typeCode(f.type));
        put<quint16>(out, quint16(f.size));
        put<quint8>(out, quint8(f.name.size()));
        out.append(f.name.toLatin1());
    }
    put<quint32>(out, quint32(packet.rows.size()));
    const qsizetype bitmapSize = (packet.fields.size() + 7) / 8;
    for (const FieldRow& row : packet.rows) {
        const qsizetype bitmapAt = out.size();
        out.append(bitmapSize, '\0');
        for (qsizetype i = 0; i < packet.fields.size(); ++i) {
            const FieldValue& v = row[i];
            if (std::holds_alternative<std::monostate>(v)) {
                out[bitmapAt + i / 8] = char(uchar(out[bitmapAt + i / 8]) | (1u << (i % 8)));
                continue;
            }
            switch (packet.fields[i].type) {
            case FieldType::SmallInt:
                put<qint16>(out, qint16(std::get<qint32>(v)));
                break;
            case FieldType::Integer:
                put<qint32>(out, std::get<qint32>(v));
                break;
            case FieldType::String:
            case FieldType::Memo:
                putBytes(out, Cp949::encode(std::get<QString>(v)));
                break;
            case FieldType::Blob:
            case FieldType::Picture:
                putBytes(out, std::get<QByteArray>(v));
                break;
            }
        }
    }
    return out;
}

DataPacket read(QByteArrayView bytes)
{
    Reader in(bytes);
    in.take(qsizetype(std::size(kMagic) - 1), "머리표");
    const quint8 version = in.number<quint8>("형식 판");
    if (version != kVersion)
        in.fail(QStringLiteral("이 프로그램이 모르는 형식 판 %1입니다").arg(version));
    DataPacket packet;
    const quint16 fieldCount = in.number<quint16>("필드 수");
    if (fieldCount == 0 || fieldCount > FieldDefs::kMaxFields)
        in.fail(QStringLiteral("필드 수 %1은(는) 1에서 %2 사이여야 합니다").arg(fieldCount).arg(FieldDefs::kMaxFields));
    for (int i = 0; i < fieldCount; ++i)
        packet.fields.append(readField(in));
    try {
        FieldDefs::validate(packet.fields);
    } catch (const std::exception& e) {
        in.fail(ExceptionMessage(e));
    }
    const quint32 rowCount = in.number<quint32>("행 수");
    const qsizetype bitmapSize = (fieldCount + 7) / 8;
    if (qint64(rowCount) * fieldCount > DataPackets::kMaxValues)
        in.fail(QStringLiteral("행 %1개 × 필드 %2개는 너무 많습니다 (값 %3개까지)")
                    .arg(rowCount)
                    .arg(fieldCount)
                    .arg(DataPackets::kMaxValues));
    if (qint64(rowCount) * bitmapSize > in.remaining())
        in.fail(QStringLiteral("행 %1개가 들어 있다고 하지만 자료가 모자랍니다").arg(rowCount));
    packet.rows.reserve(rowCount);
    for (quint32 r = 0; r < rowCount; ++r) {
        const QByteArrayView bitmap = in.take(bitmapSize, "빈 값 표시");
        FieldRow row(fieldCount);
        for (int i = 0; i < fieldCount; ++i)
            if (!(uchar(bitmap[i / 8]) & (1u << (i % 8))))
                row[i] = readValue(in, packet.fields[i]);
        packet.rows.append(std::move(row));
    }
    if (in.remaining() != 0)
        in.fail(QStringLiteral("마지막 행 뒤에 %1바이트가 더 있습니다").arg(in.remaining()));
    return packet;
}

}
