#include "ApiRequest.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

const char* kJsonType = "application/json; charset=utf-8";

std::string bearerToken(const HttpRequest& req)
{
    const std::string value = req.header("Authorization");
    const std::string scheme = "Bearer ";
    if (value.size() <= scheme.size() || value.compare(0, scheme.size(), scheme) != 0)
        return {};
    return value.substr(scheme.size());
}

}

ApiCaller CallerOf(const CourseSite& site, const HttpRequest& req, std::optional<Grant> grant)
{
    const std::string& key = req.matches.back();
    const std::string token = bearerToken(req);
    const std::optional<User> user = token.empty() ? std::nullopt : site.accounts.useToken(token, grant, key);
    if (!user)
        throw Refusal(401, "이 실행의 인증이 끝났거나 맞지 않습니다. 강의 목록에서 다시 여십시오.");
    std::optional<Lecture> lecture = site.store.lecture(key);
    if (!lecture)
        throw Refusal(404, "찾는 강의가 없습니다.");
    return {*user, std::move(*lecture), token};
}

QJsonObject JsonBody(const HttpRequest& req, std::size_t limit)
{
    if (!req.body)
        throw Refusal(400, "보낸 내용이 없습니다.");
    if (req.body->size() > limit)
        throw Refusal(413, "보낸 내용이 너무 큽니다.");
    const std::string bytes = req.body->read(0, limit);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw Refusal(400, "보낸 내용이 JSON 객체가 아닙니다.");
    return doc.object();
}

HttpResponse JsonAnswer(const QJsonObject& body, int status)
{
    HttpResponse res;
    res.status = status;
    res.setContent(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(), kJsonType);
    return res;
}

HttpResponse JsonRefusal(int status, const std::string& why)
{
    return JsonAnswer({{QStringLiteral("message"), QString::fromStdString(why)}}, status);
}
