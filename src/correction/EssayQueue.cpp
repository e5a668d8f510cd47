#include "correction/EssayQueue.h"

#include "core/AppError.h"
#include "core/Endpoint.h"

#include <QJsonObject>

namespace {

const QString kName = QStringLiteral("queue");

std::optional<EssayQueue::Neighbour> neighbour(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QString key = object.value(QStringLiteral("key")).toString();
    if (key.isEmpty())
        return std::nullopt;
    return EssayQueue::Neighbour{key, object.value(QStringLiteral("title")).toString(),
                                 object.value(QStringLiteral("student")).toString()};
}

}

EssayQueue::EssayQueue(QString lectureKey, QString token) : additions_(std::move(lectureKey), std::move(token))
{
}

std::optional<EssayQueue::Place> EssayQueue::place(bool all) const
{
    QUrlQuery query;
    if (all)
        query.addQueryItem(QStringLiteral("all"), QStringLiteral("1"));
    const std::optional<QJsonObject> answer =
        additions_.get(kName, query, QStringLiteral("첨삭할 답안 목록을 받는 중입니다"));
    if (!answer)
        return std::nullopt;
    Place place{answer->value(QStringLiteral("position")).toInt(), answer->value(QStringLiteral("count")).toInt(),
                neighbour(answer->value(QStringLiteral("previous"))), neighbour(answer->value(QStringLiteral("next")))};
    // An answer without a place in it is not this server's queue.
    if (place.position < 1 || place.count < place.position)
        return std::nullopt;
    return place;
}

QByteArray EssayQueue::launchOf(Direction direction, bool all) const
{
    const bool next = direction == Direction::Next;
    const std::optional<QJsonObject> answer = additions_.post(
        kName,
        {{QStringLiteral("to"), next ? QStringLiteral("next") : QStringLiteral("previous")},
         {QStringLiteral("all"), all}},
        next ? QStringLiteral("다음 답안을 여는 중입니다") : QStringLiteral("이전 답안을 여는 중입니다"));
    const QByteArray launch =
        answer ? QByteArray::fromBase64(answer->value(QStringLiteral("launch")).toString().toLatin1()) : QByteArray();
    if (launch.isEmpty())
        throw AppError(QStringLiteral("서버(%1)가 %2 답안을 넘겨주지 않았습니다. 강의 목록에서 여십시오.")
                           .arg(ServerUrl(), next ? QStringLiteral("다음") : QStringLiteral("이전")));
    return launch;
}
