#include "dataset/FieldDef.h"

#include "core/AppError.h"

namespace FieldDefs {

namespace {
bool isValidName(QStringView name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}
}

void validate(const QList<FieldDef>& fields)
{
    if (fields.isEmpty())
        throw AppError(QStringLiteral("필드가 하나도 없는 데이터셋은 만들 수 없습니다."));
    if (fields.size() > kMaxFields)
        throw AppError(QStringLiteral("필드가 %1개로 너무 많습니다 (최대 %2개).").arg(fields.size()).arg(kMaxFields));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (!isValidName(f.name))
            throw AppError(QStringLiteral("필드 이름 '%1'은(는) 쓸 수 없습니다. 이름은 영문자나 밑줄로 "
                                          "시작하고 영문자, 숫자, 밑줄로만 %2자 이내여야 합니다.")
                               .arg(f.name)
                               .arg(kMaxNameLength));
        if (indexOf(fields, f.name) != i)
            throw AppError(QStringLiteral("필드 이름 '%1'이(가) 두 번 나옵니다.").arg(f.name));
        if (f.type == FieldType::String && (f.size < 1 || f.size > kMaxStringSize))
            throw AppError(QStringLiteral("문자열 필드 '%1'의 크기 %2은(는) 1에서 %3 사이여야 합니다.")
                               .arg(f.name)
                               .arg(f.size)
                               .arg(kMaxStringSize));
        if (f.type != FieldType::String && f.size != 0)
            throw AppError(
                QStringLiteral("'%1' 필드는 %2 필드라서 크기를 가질 수 없습니다.").arg(f.name, typeLabel(f.type)));
    }
}

int indexOf(const QList<FieldDef>& fields, QStringView name)
{
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (QStringView(fields[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

namespace {
struct TypeNames {
    FieldType type;
    const char16_t* name;
    const char16_t* label;
};
constexpr TypeNames kTypes[] = {
    {FieldType::String, u"string", u"문자열"},      {FieldType::SmallInt, u"int16", u"16비트 정수"},
    {FieldType::Integer, u"int32", u"32비트 정수"}, {FieldType::Memo, u"memo", u"메모"},
    {FieldType::Blob, u"blob", u"바이너리"},        {FieldType::Picture, u"picture", u"그림"},
};
}

QString typeName(FieldType type)
{
    for (const auto& t : kTypes)
        if (t.type == type)
            return QString::fromUtf16(t.name);
    return {};
}

bool typeFromName(QStringView name, FieldType* type)
{
    for (const auto& t : kTypes)
        if (name == QStringView(t.name)) {
            *type = t.type;
            return true;
        }
    return false;
}

QString typeLabel(FieldType type)
{
    for (const auto& t : kTypes)
        if (t.type == type)
            return QString::fromUtf16(t.label);
    return {};
}

bool holdsText(FieldType type)
{
    return type == FieldType::String || type == FieldType::Memo;
}
bool holdsInteger(FieldType type)
{
    return type == FieldType::SmallInt || type == FieldType::Integer;
}
bool holdsBytes(FieldType type)
{
    return type == FieldType::Blob || type == FieldType::Picture;
}

}
