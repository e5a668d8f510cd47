#include "net/CourseAdditions.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "net/Transport.h"

#include <QJsonDocument>
#include <QUrl>

namespace {

bool isJson(const QByteArray& contentType)
{
    return contentType.split(';').first().trimmed().toLower() == "application/json";
}

std::optional<QJsonObject> jsonObject(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

}

CourseAdditions::CourseAdditions(QString lectureKey, QString token)
    : lectureKey_(std::move(lectureKey)), token_(std::move(token))
{
}

bool CourseAdditions::possible() const
{
    return !lectureKey_.isEmpty() && !token_.isEmpty();
}

std::optional<QJsonObject> CourseAdditions::get(const QString& name, const QUrlQuery& query,
                                                const QString& caption) const
{
    return call(name, query, nullptr, caption);
}

std::optional<QJsonObject> CourseAdditions::post(const QString& name, const QJsonObject& body,
                                                 const QString& caption) const
{
    return call(name, {}, &body, caption);
}

std::optional<QJsonObject> CourseAdditions::call(const QString& name, const QUrlQuery& query, const QJsonObject* body,
                                                 const QString& caption) const
{
    if (!possible())
        return std::nullopt;
    QUrl url(ServerUrl() + QStringLiteral("/api/") + name + QLatin1Char('/')
             + QString::fromLatin1(QUrl::toPercentEncoding(lectureKey_)));
    if (!query.isEmpty())
        url.setQuery(query);
    const QByteArray json = body ? QJsonDocument(*body).toJson(QJsonDocument::Compact) : QByteArray();
    const HttpClient::Answer answer =
        CallAddition(url.toString(QUrl::FullyEncoded), token_.toUtf8(), body ? &json : nullptr, caption);

    // Only a JSON object is this server's word; anything else is a site that knows nothing of it.
    const std::optional<QJsonObject> object = isJson(answer.contentType) ? jsonObject(answer.body) : std::nullopt;
    if (answer.status == 200)
        return object;
    const QString message = object ? object->value(QStringLiteral("message")).toString() : QString();
    if (!message.isEmpty())
        throw AppError(QStringLiteral("서버가 요청을 받지 않았습니다 (HTTP %1): %2").arg(answer.status).arg(message));
    if (answer.status >= 500)
        throw AppError(QStringLiteral("서버(%1)가 요청을 처리하지 못했습니다 (HTTP %2). 잠시 후 다시 시도하십시오")
                           .arg(ServerUrl())
                           .arg(answer.status));
    return std::nullopt;
}
