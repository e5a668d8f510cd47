#include "TeacherQueue.h"

#include "ApiRequest.h"
#include "CoursePage.h"
#include "LaunchFile.h"

#include <QByteArray>
#include <QJsonValue>

#include <algorithm>

namespace {

// A move names its direction and a flag: a few bytes.
constexpr std::size_t kMaxMove = 1024;

QString utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

struct Place {
    std::vector<Lecture> queue;
    std::size_t index = 0;
};

// The caller's queue around the address's lecture; only the lecture's own teacher has one.
Place placeOf(const CourseSite& site, const ApiCaller& caller, bool all)
{
    if (!caller.teachesLecture())
        throw Refusal(403, "담당하지 않은 강의입니다.");
    Place place{TeacherQueue(site.store.lecturesOf(caller.user), all, caller.lecture.key)};
    const auto found = std::find_if(place.queue.begin(), place.queue.end(),
                                    [&](const Lecture& l) { return l.key == caller.lecture.key; });
    place.index = std::size_t(found - place.queue.begin());
    return place;
}

QJsonValue neighbour(const Place& place, int step)
{
    const std::ptrdiff_t at = std::ptrdiff_t(place.index) + step;
    if (at < 0 || at >= std::ptrdiff_t(place.queue.size()))
        return QJsonValue::Null;
    const Lecture& l = place.queue[std::size_t(at)];
    return QJsonObject{{QStringLiteral("key"), utf8(l.key)},
                       {QStringLiteral("title"), utf8(LectureTitle(l))},
                       {QStringLiteral("student"), utf8(PersonName(l.student))}};
}

}

std::vector<Lecture> TeacherQueue(const std::vector<Lecture>& lectures, bool all, const std::string& key)
{
    std::vector<Lecture> queue;
    for (const Lecture& l : lectures)
        if (l.key == key || (l.hasEssay && (all || !l.hasCorrection)))
            queue.push_back(l);
    return queue;
}

HttpResponse HandleQueue(const CourseSite& site, const HttpRequest& req)
{
    const bool all = req.hasParam("all") && req.param("all") == "1";
    const Place place = placeOf(site, CallerOf(site, req, Grant::Correct), all);
    return JsonAnswer({{QStringLiteral("position"), qint64(place.index + 1)},
                       {QStringLiteral("count"), qint64(place.queue.size())},
                       {QStringLiteral("all"), all},
                       {QStringLiteral("previous"), neighbour(place, -1)},
                       {QStringLiteral("next"), neighbour(place, 1)}});
}

HttpResponse HandleQueueMove(const CourseSite& site, const HttpRequest& req)
{
    const ApiCaller caller = CallerOf(site, req, Grant::Correct);
    const QJsonObject move = JsonBody(req, kMaxMove);
    const QString to = move.value(QStringLiteral("to")).toString();
    if (to != QLatin1String("previous") && to != QLatin1String("next"))
        throw Refusal(400, "\"to\"는 \"previous\"나 \"next\"여야 합니다.");
    const bool next = to == QLatin1String("next");
    const Place place = placeOf(site, caller, move.value(QStringLiteral("all")).toBool());
    const QJsonValue target = neighbour(place, next ? 1 : -1);
    if (target.isNull())
        throw Refusal(409, next ? "다음 답안이 없습니다." : "이전 답안이 없습니다.");
    const Lecture& lecture = place.queue[next ? place.index + 1 : place.index - 1];
    const std::string token = site.accounts.passOnToken(caller.token, Grant::Correct, lecture.key);
    const std::string launch = TeacherLaunch(lecture, token, site.gate.base(req));
    return JsonAnswer({{QStringLiteral("key"), utf8(lecture.key)},
                       {QStringLiteral("launch"), QString::fromLatin1(QByteArray::fromStdString(launch).toBase64())}});
}

std::string QueueSection(const std::vector<Lecture>& lectures)
{
    const std::vector<Lecture> queue = TeacherQueue(lectures, false);
    std::string html = "<h2>첨삭할 답안 " + std::to_string(queue.size()) + "편</h2>\n";
    if (queue.empty())
        return html + "<p class=\"muted\">첨삭을 기다리는 답안이 없습니다.</p>\n";
    html += "<table>\n<tr><th>차례</th><th>제목</th><th>학생</th><th>열기</th></tr>\n";
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const Lecture& l = queue[i];
        html += "<tr><td class=\"score\">" + std::to_string(i + 1) + (i == 0 ? " (다음)" : "")
                + "</td><td class=\"title\">" + HtmlEscape(LectureTitle(l)) + "</td><td class=\"person\">"
                + HtmlEscape(PersonName(l.student)) + " 님</td><td><a class=\"action\" href=\"/launch/T001/"
                + HtmlEscape(l.key) + ".dzl\">첨삭하기</a>" + "</td></tr>\n";
    }
    return html + "</table>\n";
}
