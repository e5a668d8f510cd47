#include "StatsHandlers.h"

#include "ApiRequest.h"
#include "ErrorStats.h"

namespace {

const char* kCsvType = "text/csv; charset=utf-8";

std::string csvName(const std::string& teacherNo)
{
    return "marks-" + teacherNo + ".csv";
}

// A teacher asks with the correcting token of a lecture they correct.
ApiCaller teacherOf(const CourseSite& site, const HttpRequest& req)
{
    ApiCaller caller = CallerOf(site, req, Grant::Correct);
    if (!caller.teachesLecture())
        throw Refusal(403, "담당하는 강의의 오류 통계만 볼 수 있습니다.");
    return caller;
}

}

HttpResponse HandleStudentStats(const CourseSite& site, const HttpRequest& req)
{
    const ApiCaller caller = CallerOf(site, req, std::nullopt);
    const Lecture& lecture = caller.lecture;
    std::string teacherNo;
    if (caller.user.role == Role::Teacher)
        teacherNo = teacherOf(site, req).user.number;
    else if (lecture.student.number != caller.user.number)
        throw Refusal(403, "자기 글의 오류 통계만 볼 수 있습니다.");
    return JsonAnswer(StudentMarksJson(lecture.student, StudentMarks(site.store, lecture.student.number, teacherNo)));
}

HttpResponse HandleClassStats(const CourseSite& site, const HttpRequest& req)
{
    const ApiCaller caller = teacherOf(site, req);
    return JsonAnswer({{QStringLiteral("csv"), QString::fromStdString(ClassMarksCsv(site.store, caller.user.number))}});
}

HttpResponse HandleClassStatsCsv(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor)
        return AskToSignIn(req);
    HttpResponse res;
    if (visitor->user.role != Role::Teacher) {
        res.status = 404;
        return res;
    }
    res.setContent(ClassMarksCsv(site.store, visitor->user.number), kCsvType);
    res.setHeader("Content-Disposition", "attachment; filename=\"" + csvName(visitor->user.number) + "\"");
    return res;
}
