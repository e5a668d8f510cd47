#include "correction/ErrorHistory.h"

#include "board/ProofMarks.h"
#include "core/AppError.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace {

[[noreturn]] void unreadable(const QString& why)
{
    throw AppError(
        QStringLiteral("서버가 보낸 오류 통계를 읽을 수 없습니다 (%1). 서버 관리자에게 알려 주십시오").arg(why));
}

QJsonValue member(const QJsonObject& object, const QString& name, QJsonValue::Type type)
{
    const QJsonValue value = object.value(name);
    if (value.type() != type)
        unreadable(QStringLiteral("\"%1\" 항목").arg(name));
    return value;
}

}

ErrorHistory ErrorHistory::fromJson(const QJsonObject& answer)
{
    ErrorHistory history;
    const QJsonObject student = member(answer, QStringLiteral("student"), QJsonValue::Object).toObject();
    history.studentNumber_ = member(student, QStringLiteral("number"), QJsonValue::String).toString();
    history.studentName_ = student.value(QStringLiteral("name")).toString();
    QMap<TDrawTool, qint64> totals;
    for (const QJsonValue& item : member(answer, QStringLiteral("essays"), QJsonValue::Array).toArray()) {
        if (!item.isObject())
            unreadable(QStringLiteral("\"essays\" 항목"));
        const QJsonObject object = item.toObject();
        Essay essay;
        essay.key = member(object, QStringLiteral("key"), QJsonValue::String).toString();
        essay.title = object.value(QStringLiteral("title")).toString();
        essay.corrected = QDateTime::fromString(object.value(QStringLiteral("corrected")).toString(), Qt::ISODate);
        const QJsonObject marks = member(object, QStringLiteral("marks"), QJsonValue::Object).toObject();
        for (auto it = marks.begin(); it != marks.end(); ++it) {
            bool ordinal = false;
            const int kind = it.key().toInt(&ordinal);
            const double count = it.value().toDouble(-1);
            if (!ordinal || count < 0 || count != std::floor(count) || count > kMaxCount)
                unreadable(QStringLiteral("\"marks\"의 \"%1\"").arg(it.key()));
            if (!IsProofMark(kind) || count == 0)
                continue;
            essay.marks.insert(TDrawTool(kind), int(count));
            totals[TDrawTool(kind)] += int(count);
        }
        history.essays_.append(essay);
    }
    history.kinds_ = totals.keys();
    return history;
}

int ErrorHistory::count(int essay, TDrawTool kind) const
{
    return essays_.at(essay).marks.value(kind);
}

qint64 ErrorHistory::total(TDrawTool kind) const
{
    qint64 sum = 0;
    for (const Essay& essay : essays_)
        sum += essay.marks.value(kind);
    return sum;
}

int ErrorHistory::largest() const
{
    int most = 0;
    for (const Essay& essay : essays_)
        for (int count : essay.marks)
            most = std::max(most, count);
    return most;
}
