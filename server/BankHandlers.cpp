#include "BankHandlers.h"

#include "ApiRequest.h"
#include "BankStore.h"

#include <QJsonArray>

namespace {

constexpr std::size_t kMaxChanges = 1u << 20;

}

HttpResponse HandleBank(const CourseSite& site, const HttpRequest& req)
{
    const ApiCaller caller = CallerOf(site, req, Grant::Correct);
    BankStore bank(site.store.engine());
    QJsonObject answer;
    if (req.method == "POST") {
        const QJsonObject body = JsonBody(req, kMaxChanges);
        if (!body.value(QStringLiteral("ops")).isArray())
            throw Refusal(400, "보낸 내용에 문구함 변경 목록(ops)이 없습니다.");
        answer.insert(QStringLiteral("results"),
                      bank.apply(caller.user.number, body.value(QStringLiteral("ops")).toArray()));
    }
    answer.insert(QStringLiteral("entries"), BankEntry::toJson(bank.entriesOf(caller.user.number)));
    return JsonAnswer(answer);
}
