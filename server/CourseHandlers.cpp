#include "CourseHandlers.h"

#include "ApiRequest.h"
#include "ClientIf.h"
#include "CoursePage.h"
#include "ErrorStatsPage.h"
#include "LaunchFile.h"
#include "MultipartForm.h"
#include "ScannedEssay.h"

namespace {

const char* kReplyType = "text/plain; charset=euc-kr";
const char* kHtmlType = "text/html; charset=utf-8";
const char* kTextType = "text/plain; charset=utf-8";
// A sign-in or sign-out form is a few short fields.
constexpr std::size_t kMaxSmallForm = 1 << 16;

// The client reads its status from the reply's text; the HTTP status is the exchange's own.
HttpResponse reply(const ClientReply& answer, int httpStatus = 200)
{
    HttpResponse res;
    res.status = httpStatus;
    res.setContent(answer.bytes(), kReplyType);
    if (answer.accepted() && answer.revision)
        res.setHeader(kRevisionHeader, std::to_string(*answer.revision));
    return res;
}

HttpResponse status(int code)
{
    HttpResponse res;
    res.status = code;
    return res;
}

HttpResponse html(std::string page, int code = 200)
{
    HttpResponse res;
    res.status = code;
    res.setContent(std::move(page), kHtmlType);
    return res;
}

bool owns(const User& user, const Lecture& lecture)
{
    return user.number == (user.role == Role::Student ? lecture.student.number : lecture.teacher.number);
}

// The fields of a small url-encoded form posted in the body.
std::multimap<std::string, std::string> smallForm(const HttpRequest& req)
{
    if (!req.body || req.body->size() > kMaxSmallForm)
        return {};
    return DecodeUrlForm(req.body->read(0, kMaxSmallForm));
}

std::string field(const std::multimap<std::string, std::string>& fields, const std::string& name)
{
    const auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
}

std::optional<FormParts> multipart(const HttpRequest& req)
{
    const std::optional<std::string> boundary = MultipartBoundary(req.header("Content-Type"));
    if (!boundary)
        return std::nullopt;
    if (!req.body)
        throw Refusal(400, "보낸 양식을 읽을 수 없습니다.");
    return ReadMultipartForm(req.body, *boundary);
}

// The lecture of a record address: to the launch token of a run on it (`t`), or to its
// signed-in student or teacher; to anyone else as if it did not exist. `refusal` is set
// when the visitor must sign in first.
std::optional<Lecture> lectureFor(const CourseSite& site, const HttpRequest& req, std::optional<HttpResponse>& refusal)
{
    const std::string& key = req.matches.back();
    if (req.hasParam("t")) {
        if (site.accounts.useToken(req.param("t"), std::nullopt, key))
            return site.store.lecture(key);
        return std::nullopt;
    }
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor) {
        refusal = AskToSignIn(req);
        return std::nullopt;
    }
    std::optional<Lecture> lecture = site.store.lecture(key);
    return lecture && owns(visitor->user, *lecture) ? lecture : std::nullopt;
}

HttpResponse handOut(const std::string& name, const std::string& bytes)
{
    HttpResponse res;
    res.setHeader("Content-Disposition", "attachment; filename=\"" + name + kLaunchExtension + "\"");
    res.setContent(bytes, kLaunchMimeType);
    return res;
}

}

HttpResponse AskToSignIn(const HttpRequest& req)
{
    HttpResponse res;
    if (req.header("Accept").find("text/html") != std::string::npos) {
        res.redirect("/login", 303);
        return res;
    }
    res.status = 401;
    res.setHeader("WWW-Authenticate", "Basic realm=\"course\", charset=\"UTF-8\"");
    res.setContent("401 로그인이 필요합니다.", kTextType);
    return res;
}

HttpResponse HandleClientIfPost(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<FormParts> parts = multipart(req);
    if (!parts)
        return reply({400, "multipart/form-data 양식으로 보내야 합니다.", {}});
    return reply(HandleClientIf(site.store, site.accounts, *parts, req.remoteAddress));
}

HttpResponse HandleRecord(const CourseSite& site, const HttpRequest& req)
{
    std::optional<HttpResponse> refusal;
    const std::optional<Lecture> lecture = lectureFor(site, req, refusal);
    if (refusal)
        return *refusal;
    const std::string& kind = req.matches.front();
    if (!lecture)
        return status(404);
    HttpResponse res;
    if (kind == "thumbnail") {
        std::optional<std::string> bytes = site.store.thumbnail(lecture->key);
        if (!bytes)
            return status(404);
        res.setContent(std::move(*bytes), "image/jpeg");
        return res;
    }
    std::optional<StoredRecord> stored =
        kind == "essay" ? site.store.essayWithRevision(lecture->key) : site.store.correctionWithRevision(lecture->key);
    if (!stored)
        return status(404);
    res.setContent(std::move(stored->bytes), "application/octet-stream");
    res.setHeader(kRevisionHeader, std::to_string(stored->revision));
    return res;
}

HttpResponse HandleDiscussion(const CourseSite& site, const HttpRequest& req)
{
    std::optional<HttpResponse> refusal;
    const std::optional<Lecture> lecture = lectureFor(site, req, refusal);
    if (refusal)
        return *refusal;
    if (!lecture || lecture->discussion.empty())
        return status(404);
    return html(DiscussionPage(*lecture));
}

HttpResponse HandleLoginForm(const CourseSite&, const HttpRequest&)
{
    return html(LoginPage({}));
}

HttpResponse HandleLogin(const CourseSite& site, const HttpRequest& req)
{
    const auto form = smallForm(req);
    const std::string number = field(form, "number");
    // The number typed is given back to its field; a number is 20 characters at most.
    const std::string kept = number.size() <= 20 ? number : std::string();
    std::optional<User> user;
    try {
        user = site.accounts.signIn(number, field(form, "password"), req.remoteAddress);
    } catch (const Refusal& refusal) {
        return html(LoginPage(refusal.what(), kept), refusal.status());
    }
    // The form again, answered as a page: a browser's console would report a 401 as an error.
    if (!user)
        return html(LoginPage("번호나 비밀번호가 맞지 않습니다.", kept));
    HttpResponse res;
    res.setHeader("Set-Cookie", site.gate.sessionCookie(site.accounts.openSession(*user).id));
    res.redirect("/", 303);
    return res;
}

HttpResponse HandleLogout(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (visitor && !visitor->sessionId.empty()) {
        if (!RequestGate::formTokenMatches(*visitor, field(smallForm(req), "csrf")))
            return status(403);
        site.accounts.closeSession(visitor->sessionId);
    }
    HttpResponse res;
    res.setHeader("Set-Cookie", site.gate.clearedCookie());
    res.redirect("/login", 303);
    return res;
}

HttpResponse HandleCoursePage(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor)
        return AskToSignIn(req);
    const Person person = site.store.person(visitor->user).value_or(Person{visitor->user.number, {}});
    return html(CoursePage(person, visitor->user.role, site.store.lecturesOf(visitor->user), visitor->csrf,
                           ErrorStatsSection(site.store, visitor->user)));
}

HttpResponse HandleIcon(const CourseSite&, const HttpRequest&)
{
    HttpResponse res;
    res.setContent(CourseIcon(), "image/svg+xml");
    return res;
}

HttpResponse HandleScan(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor)
        return AskToSignIn(req);
    const std::string& key = req.matches.front();
    try {
        const std::optional<FormParts> form = multipart(req);
        if (!form)
            throw Refusal(400, "보낸 양식을 읽을 수 없습니다.");
        const auto token = form->find("csrf");
        if (!RequestGate::formTokenMatches(*visitor, token == form->end() ? "" : token->second.bytes()))
            throw Refusal(403, "강의 목록에서 다시 올려 주십시오 (양식이 오래되었습니다).");
        const std::optional<Lecture> lecture = site.store.lecture(key);
        if (!lecture || !owns(visitor->user, *lecture))
            throw Refusal(404, "강의 " + key + "을(를) 찾을 수 없습니다.");
        std::vector<FormPart> pages;
        const auto [begin, end] = form->equal_range("page");
        for (auto it = begin; it != end; ++it)
            // A file field left empty still arrives, without name or content.
            if (!it->second.fileName().empty() || it->second.size() > 0)
                pages.push_back(it->second);
        SaveScannedEssay(site.store, key, pages);
        return html(MessagePage("스캔한 답안을 저장했습니다", "\"" + LectureTitle(*lecture) + "\"에 "
                                                                  + std::to_string(pages.size())
                                                                  + "쪽짜리 스캔 답안을 저장했습니다."));
    } catch (const Refusal& refusal) {
        return html(MessagePage("스캔한 답안을 받지 못했습니다", refusal.what()), refusal.status());
    }
}

HttpResponse HandleLaunch(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor)
        return AskToSignIn(req);
    const std::string& mode = req.matches[0];
    const std::optional<Lecture> lecture = site.store.lecture(req.matches[1]);
    const Role role = visitor->user.role;
    const bool fits = mode == "C001" || (mode == "S001") == (role == Role::Student);
    if (!lecture || !owns(visitor->user, *lecture) || !fits)
        return status(404);
    const Grant grant = mode == "C001" ? Grant::View : mode == "S001" ? Grant::Write : Grant::Correct;
    const std::string token = site.accounts.issueToken(visitor->user, grant, lecture->key, visitor->sessionId);
    const std::string base = site.gate.base(req);
    const std::string bytes = mode == "S001"   ? StudentLaunch(*lecture, token, base)
                              : mode == "T001" ? TeacherLaunch(*lecture, token, base)
                                               : ViewLaunch(*lecture, token, base);
    return handOut(mode + "-" + lecture->key, bytes);
}

HttpResponse HandleNewEssayLaunch(const CourseSite& site, const HttpRequest& req)
{
    const std::optional<Visitor> visitor = site.gate.visitor(req);
    if (!visitor)
        return AskToSignIn(req);
    const std::optional<Person> student = site.store.student(req.matches.front());
    if (!student || visitor->user.role != Role::Student || visitor->user.number != student->number)
        return status(404);
    return handOut(
        "S001-new-" + student->number,
        NewEssayLaunch(*student, site.accounts.issueToken(visitor->user, Grant::Write, {}, visitor->sessionId)));
}

HttpResponse FailureAnswer(const HttpRequest& req, int code)
{
    const bool clientIf = req.path == "/clientif";
    std::string why;
    switch (code) {
    case 403:
        why = "다른 사이트에서 보낸 요청은 받지 않습니다.";
        break;
    case 404:
        why = "찾는 자료가 없습니다.";
        break;
    case 411:
        why = "크기를 미리 알리지 않은(chunked) 자료는 받지 않습니다.";
        break;
    case 413:
        why = clientIf ? "보낸 자료가 너무 커서 받을 수 없습니다." : "올린 파일이 너무 커서 받을 수 없습니다.";
        break;
    case 421:
        why = "이 서버의 주소가 아닌 이름으로 요청했습니다.";
        break;
    case 431:
        why = "요청의 머리글이 너무 깁니다.";
        break;
    case 500:
        why = "서버 내부 오류로 처리하지 못했습니다. 잠시 후 다시 시도하십시오.";
        break;
    default:
        why = clientIf ? "보낸 양식을 읽을 수 없습니다." : "요청을 처리하지 못했습니다.";
    }
    if (clientIf)
        return reply({code, why, {}}, code);
    if (req.path.rfind(kApiPrefix, 0) == 0)
        return JsonRefusal(code, why);
    if (req.path.rfind("/scan/", 0) == 0)
        return html(MessagePage("스캔한 답안을 받지 못했습니다", why), code);
    HttpResponse res;
    res.status = code;
    res.setContent(std::to_string(code) + " " + why, kTextType);
    return res;
}
