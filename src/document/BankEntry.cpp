#include "document/BankEntry.h"

#include "core/AppError.h"
#include "text/CsvTable.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

// The ordinals of the palette's mark tools: every drawing tool but the selection, the
// numbers (they write into the page comment) and the one kind the palette does not offer.
constexpr std::array<int, 28> kMarks{2,  3,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                     17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 30, 31};

const QString kHeader = QStringLiteral("text,mark,points");

}

QJsonObject BankEntry::toJson() const
{
    return {
        {QStringLiteral("id"), id},           {QStringLiteral("text"), text},         {QStringLiteral("mark"), mark},
        {QStringLiteral("points"), points},   {QStringLiteral("position"), position}, {QStringLiteral("uses"), uses},
        {QStringLiteral("version"), version}, {QStringLiteral("stock"), stock}};
}

BankEntry BankEntry::fromJson(const QJsonObject& json)
{
    BankEntry entry;
    entry.id = json.value(QStringLiteral("id")).toString();
    entry.text = json.value(QStringLiteral("text")).toString();
    entry.mark = json.value(QStringLiteral("mark")).toInt();
    entry.points = json.value(QStringLiteral("points")).toString();
    entry.position = json.value(QStringLiteral("position")).toInteger();
    entry.uses = json.value(QStringLiteral("uses")).toInteger();
    entry.version = json.value(QStringLiteral("version")).toInteger(1);
    entry.stock = json.value(QStringLiteral("stock")).toBool();
    return entry;
}

QJsonArray BankEntry::toJson(const QList<BankEntry>& entries)
{
    QJsonArray json;
    for (const BankEntry& entry : entries)
        json.append(entry.toJson());
    return json;
}

QList<BankEntry> BankEntry::fromJson(const QJsonArray& json)
{
    QList<BankEntry> entries;
    for (const QJsonValue& value : json)
        entries << fromJson(value.toObject());
    return entries;
}

QString BankEntry::problem(const QString& text, int mark, const QString& points)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("문구가 비어 있습니다.");
    if (text.size() > kMaxText)
        return QStringLiteral("문구는 %1자까지입니다 (지금 %2자).").arg(kMaxText).arg(text.size());
    if (mark != 0 && std::find(kMarks.begin(), kMarks.end(), mark) == kMarks.end())
        return QStringLiteral("표시 %1은(는) 첨삭 표시가 아닙니다. 비워 두거나 표시 번호를 쓰십시오.").arg(mark);
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]{1,3}$"));
    if (!points.isEmpty() && !number.match(points).hasMatch())
        return QStringLiteral("점수 \"%1\"은(는) 정수가 아닙니다 (예: -2).").arg(points);
    return {};
}

QList<int> BankEntry::markKinds()
{
    return QList<int>(kMarks.begin(), kMarks.end());
}

bool BankEntry::isId(const QString& id)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Za-z-]{1,64}$"));
    return pattern.match(id).hasMatch();
}

QList<BankEntry> BankCsv::Read(const QByteArray& bytes)
{
    const QList<CsvTable::Row> rows = CsvTable::Read(bytes);
    if (rows.isEmpty() || rows.first().fields.join(QLatin1Char(',')).trimmed().toLower() != kHeader)
        throw AppError(
            QStringLiteral("CSV 파일 첫 줄은 머리줄 \"%1\"이어야 합니다. 아무것도 가져오지 않았습니다.").arg(kHeader));
    QList<BankEntry> entries;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const CsvTable::Row& row = rows[i];
        const auto refuse = [&](const QString& why) {
            throw AppError(
                QStringLiteral("CSV 파일 %1번째 줄: %2 아무것도 가져오지 않았습니다.").arg(row.line).arg(why));
        };
        if (row.fields.size() != 3)
            refuse(QStringLiteral("칸이 %1개입니다 (문구, 표시, 점수의 3칸이어야 합니다).").arg(row.fields.size()));
        BankEntry entry;
        entry.text = row.fields[0];
        entry.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QString mark = row.fields[1].trimmed();
        bool isNumber = true;
        entry.mark = mark.isEmpty() ? 0 : mark.toInt(&isNumber);
        if (!isNumber)
            refuse(QStringLiteral("표시 \"%1\"이(가) 번호가 아닙니다.").arg(mark));
        entry.points = row.fields[2].trimmed();
        if (const QString why = BankEntry::problem(entry.text, entry.mark, entry.points); !why.isEmpty())
            refuse(why);
        entries << entry;
    }
    return entries;
}

QByteArray BankCsv::Write(const QList<BankEntry>& entries)
{
    QList<QStringList> rows{kHeader.split(QLatin1Char(','))};
    for (const BankEntry& entry : entries)
        rows << QStringList{entry.text, entry.mark ? QString::number(entry.mark) : QString(), entry.points};
    return CsvTable::Write(rows);
}
