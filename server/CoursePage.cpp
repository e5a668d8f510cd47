#include "CoursePage.h"

#include "TeacherQueue.h"

namespace {

const char* kHead = R"(<!DOCTYPE html>
<html lang="ko"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<link rel="icon" href="/icon.svg" type="image/svg+xml">
<title>)";

// The page's own look: local fonts only, nothing fetched from elsewhere.
const char* kStyle = R"(</title>
<style>
body { margin: 0; font-family: "NanumGothic", "Nanum Gothic", "NanumBarunGothic", sans-serif;
       color: #2b2118; background: #fbf7ee; line-height: 1.5; }
header { display: flex; align-items: center; justify-content: space-between; gap: 1em;
         padding: .6em 2rem; color: #fff; background: linear-gradient(90deg, #ff8a00, #ffb347); }
header h1 { margin: 0; font-size: 1.4em; }
header .who { display: flex; align-items: center; gap: .8em; font-weight: bold; }
form { margin: 0; }
main { max-width: 72em; padding: 1.2em 2rem 2em; }
h2 { font-size: 1.15em; margin: 1.4em 0 .5em; }
table { border-collapse: collapse; width: 100%; background: #fff; }
th, td { border: 1px solid #e6dccb; padding: .5em .7em; text-align: left; vertical-align: middle; }
th { background: #ffedc9; font-weight: bold; white-space: nowrap; }
td.title { font-weight: bold; }
td.person, td.score { white-space: nowrap; }
.state { white-space: nowrap; }
.state.saved { color: #1f5fa8; }
.state.done { color: #2a7a2a; font-weight: bold; }
.state.none, .muted { color: #8a7d6b; }
a { color: #8a2b0a; }
a.action { display: inline-block; margin: .1em .3em .1em 0; padding: .2em .7em; border: 1px solid #d9822b;
           border-radius: .3em; background: #fff4e0; text-decoration: none; white-space: nowrap; }
a.action:hover, a.action:focus { background: #ffdc92; }
button, input { font: inherit; }
button { padding: .2em .8em; }
header button { color: #8a2b0a; background: #fff; border: 1px solid #fff; border-radius: .3em; }
img.thumbnail { display: block; border: 1px solid #e6dccb; }
form.login { background: #fff; border: 1px solid #e6dccb; padding: 1em 1.5em; max-width: 32em; }
form.login label { display: inline-block; min-width: 5em; }
.error { color: #b00020; font-weight: bold; margin-left: .5em; }
input[aria-invalid="true"] { border: 2px solid #b00020; }
</style></head><body>
)";

std::string anchor(const std::string& href, const std::string& text, const std::string& cssClass = "action")
{
    return "<a class=\"" + cssClass + "\" href=\"" + HtmlEscape(href) + "\">" + text + "</a>";
}

std::string tokenField(const std::string& formToken)
{
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + HtmlEscape(formToken) + "\">";
}

// The pages replace the lecture's essay, in the order the browser sends them.
std::string scanForm(const Lecture& lecture, const std::string& formToken)
{
    return "<form method=\"post\" enctype=\"multipart/form-data\" action=\"" + HtmlEscape("/scan/" + lecture.key)
           + "\">" + tokenField(formToken) + "<input type=\"file\" name=\"page\" accept=\"image/jpeg,.jpg,.jpeg\" "
           + "multiple required aria-label=\"" + HtmlEscape(LectureTitle(lecture)) + " 스캔한 답안\"> "
           + "<button type=\"submit\">올리기</button></form>";
}

std::string named(const Person& person)
{
    return HtmlEscape(PersonName(person)) + " 님";
}

std::string state(const Lecture& lecture)
{
    if (lecture.hasCorrection)
        return "<span class=\"state done\">첨삭 완료</span>";
    if (lecture.hasEssay)
        return "<span class=\"state saved\">저장됨</span>";
    return "<span class=\"state none\">아직 쓰지 않음</span>";
}

// A student writes until the essay is corrected, then only views the correction; a
// teacher corrects once there is an essay.
std::string actions(const Lecture& l, bool student)
{
    std::string links;
    if (student && !l.hasCorrection)
        links += anchor("/launch/S001/" + l.key + ".dzl", "글쓰기");
    if (!student && l.hasEssay)
        links += anchor("/launch/T001/" + l.key + ".dzl", "첨삭하기");
    if (l.hasCorrection)
        links += anchor("/launch/C001/" + l.key + ".dzl", "첨삭 보기");
    return links.empty() ? "<span class=\"muted\">답안을 기다리는 중</span>" : links;
}

std::string row(const Lecture& l, bool student, const std::string& formToken)
{
    const std::string key = HtmlEscape(l.key);
    std::string html = "<tr><td class=\"title\">" + HtmlEscape(LectureTitle(l)) + "</td><td class=\"person\">"
                       + named(student ? l.teacher : l.student) + "</td><td>" + state(l) + "</td><td class=\"score\">"
                       + (l.hasCorrection && !l.reportPoint.empty() ? HtmlEscape(l.reportPoint) + "점" : "")
                       + "</td><td>";
    if (l.hasCorrection)
        html += "<a href=\"/thumbnail/" + key + "\"><img class=\"thumbnail\" src=\"/thumbnail/" + key
                + "\" width=\"146\" alt=\"" + HtmlEscape(LectureTitle(l)) + " 첨삭 미리보기\"></a>";
    html += "</td><td>" + actions(l, student) + "</td><td>";
    html += l.hasCorrection ? "<span class=\"muted\">첨삭이 끝나 올릴 수 없습니다</span>" : scanForm(l, formToken);
    return html + "</td></tr>\n";
}

}

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string LectureTitle(const Lecture& lecture)
{
    return lecture.title.empty() ? "(제목 없음)" : lecture.title;
}

std::string PersonName(const Person& person)
{
    return person.name.empty() ? person.number : person.name;
}

std::string CoursePage(const Person& person, Role role, const std::vector<Lecture>& lectures,
                       const std::string& formToken, const std::string& sections)
{
    const bool student = role == Role::Student;
    std::string page = std::string(kHead) + "글방 강의 목록" + kStyle
                       + "<header><h1>글방 강의 목록</h1><div class=\"who\">" + named(person)
                       + (student ? " (학생)" : " (선생님)");
    if (!formToken.empty())
        page += "<form method=\"post\" action=\"/logout\">" + tokenField(formToken)
                + "<button type=\"submit\">로그아웃</button></form>";
    page += "</div></header>\n<main>\n";
    if (!student)
        page += QueueSection(lectures);
    page += "<h2>강의</h2>\n";
    if (lectures.empty()) {
        page += "<p class=\"muted\">아직 강의가 없습니다.</p>\n";
    } else {
        page += std::string("<table>\n<tr><th>제목</th><th>") + (student ? "선생님" : "학생")
                + "</th><th>상태</th><th>점수</th><th>첨삭</th><th>열기</th><th>스캔한 답안 올리기 (JPEG)</th></tr>\n";
        for (const Lecture& l : lectures)
            page += row(l, student, formToken);
        page += "</table>\n";
    }
    if (student)
        page += "<h2>새 감상문</h2>\n<p>" + anchor("/launch/new/" + person.number + ".dzl", "새 글쓰기") + "</p>\n";
    page += sections + "</main></body></html>\n";
    return page;
}

std::string LoginPage(const std::string& message, const std::string& number)
{
    const bool failed = !message.empty();
    return std::string(kHead) + "글방 로그인" + kStyle + "<header><h1>글방 로그인</h1></header>\n<main>\n"
           + "<form class=\"login\" method=\"post\" action=\"/login\">"
             "<p><label for=\"number\">번호</label> <input id=\"number\" name=\"number\" autocomplete=\"username\" "
             "required value=\""
           + HtmlEscape(number)
           + "\"></p><p><label for=\"password\">비밀번호</label> <input id=\"password\" name=\"password\" "
             "type=\"password\" autocomplete=\"current-password\" required"
           + (failed ? " aria-invalid=\"true\" aria-describedby=\"login-error\" autofocus>"
                       "<span id=\"login-error\" class=\"error\" role=\"alert\">"
                           + HtmlEscape(message) + "</span>"
                     : std::string(">"))
           + "</p><p><button type=\"submit\">로그인</button></p></form>\n</main></body></html>\n";
}

std::string DiscussionPage(const Lecture& lecture)
{
    return std::string(kHead) + "토의사항" + kStyle + "<header><h1>토의사항</h1></header>\n<main>\n<h2>"
           + HtmlEscape(LectureTitle(lecture)) + "</h2>\n<p>" + HtmlEscape(lecture.discussion)
           + "</p>\n</main></body></html>\n";
}

std::string MessagePage(const std::string& title, const std::string& message)
{
    return std::string(kHead) + HtmlEscape(title) + kStyle + "<header><h1>" + HtmlEscape(title)
           + "</h1></header>\n<main>\n<p>" + HtmlEscape(message) + "</p>\n<p>" + anchor("/", "강의 목록으로")
           + "</p>\n</main></body></html>\n";
}

std::string CourseIcon()
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64">)"
           R"(<rect x="2" y="2" width="60" height="60" rx="8" fill="#ffdc92"/>)"
           R"(<rect x="10" y="10" width="44" height="44" fill="#fff" stroke="#c8c8c8"/>)"
           R"(<path d="M13 14h39v9H13zM13 27h39v9H13zM13 40h39v9H13z" fill="none" stroke="#e04040" stroke-width="1.5"/>)"
           R"(<path d="M40 56l14-22 4 3-14 22-5 1z" fill="#601540"/></svg>)";
}
