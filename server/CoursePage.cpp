#include "CoursePage.h"

namespace {

const char* kHead = R"(<!DOCTYPE html>
<html lang="ko"><head><meta charset="utf-8"><title>)";

const char* kStyle = R"(</title>
<style>
body { font-family: sans-serif; margin: 2em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: .3em .6em; text-align: left; }
form { margin: 0; }
</style></head><body>
)";

std::string anchor(const std::string& href, const std::string& text)
{
    return "<a href=\"" + HtmlEscape(href) + "\">" + text + "</a>";
}

std::string tokenField(const std::string& formToken)
{
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + HtmlEscape(formToken) + "\">";
}

// The pages replace the lecture's essay, in the order the browser sends them.
std::string scanForm(const std::string& key, const std::string& formToken)
{
    return "<form method=\"post\" enctype=\"multipart/form-data\" action=\"" + HtmlEscape("/scan/" + key) + "\">"
           + tokenField(formToken)
           + "<input type=\"file\" name=\"page\" accept=\"image/jpeg,.jpg,.jpeg\" multiple "
             "required> <button type=\"submit\">올리기</button></form>";
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

std::string CoursePage(const User& user, const std::vector<Lecture>& lectures, const std::string& formToken)
{
    const bool student = user.role == Role::Student;
    std::string page = std::string(kHead) + "글방 강의 목록" + kStyle + "<h1>글방 강의 목록</h1>\n";
    page += "<p>" + HtmlEscape(user.number) + "(으)로 로그인했습니다.</p>\n";
    if (!formToken.empty())
        page += "<form method=\"post\" action=\"/logout\">" + tokenField(formToken)
                + "<button type=\"submit\">로그아웃</button></form>\n";
    page += "<table>\n<tr><th>강의</th><th>제목</th><th>학생</th><th>교사</th><th>답안</th>"
            "<th>점수</th><th>첨삭</th><th>실행 파일</th><th>스캔한 답안 올리기 (JPEG)</th></tr>\n";
    for (const Lecture& l : lectures) {
        const std::string key = HtmlEscape(l.key);
        const std::string launches = student ? anchor("/launch/S001/" + l.key + ".dzl", "글쓰기")
                                             : anchor("/launch/T001/" + l.key + ".dzl", "첨삭하기");
        page += "<tr><td>" + key + "</td><td>" + HtmlEscape(l.title) + "</td><td>" + HtmlEscape(l.student.name) + " ("
                + HtmlEscape(l.student.number) + ")</td><td>" + HtmlEscape(l.teacher.name) + " ("
                + HtmlEscape(l.teacher.number) + ")</td><td>"
                + (l.hasCorrection ? "첨삭 완료"
                   : l.hasEssay    ? "저장됨"
                                   : "없음")
                + "</td><td>" + HtmlEscape(l.reportPoint) + "</td><td>"
                + (l.hasCorrection ? "<a href=\"/thumbnail/" + key + "\"><img src=\"/thumbnail/" + key
                                         + "\" width=\"146\" alt=\"첨삭 미리보기\"></a>"
                                   : std::string())
                + "</td><td>" + launches + " " + anchor("/launch/C001/" + l.key + ".dzl", "첨삭 보기") + "</td><td>"
                + scanForm(l.key, formToken) + "</td></tr>\n";
    }
    page += "</table>\n";
    if (student)
        page += "<h2>새 감상문</h2>\n<p>" + anchor("/launch/new/" + user.number + ".dzl", "새 글쓰기") + "</p>\n";
    page += "</body></html>\n";
    return page;
}

std::string LoginPage(const std::string& message)
{
    return std::string(kHead) + "글방 로그인" + kStyle + "<h1>글방 로그인</h1>\n"
           + (message.empty() ? std::string() : "<p>" + HtmlEscape(message) + "</p>\n")
           + "<form method=\"post\" action=\"/login\">"
             "<p><label>번호 <input name=\"number\" autocomplete=\"username\" required></label></p>"
             "<p><label>비밀번호 <input name=\"password\" type=\"password\" autocomplete=\"current-password\" "
             "required></label></p><p><button type=\"submit\">로그인</button></p></form>\n</body></html>\n";
}

std::string DiscussionPage(const Lecture& lecture)
{
    return std::string(kHead) + "토의사항" + kStyle + "<h1>토의사항</h1>\n<h2>" + HtmlEscape(lecture.title)
           + "</h2>\n<p>" + HtmlEscape(lecture.discussion) + "</p>\n</body></html>\n";
}

std::string MessagePage(const std::string& title, const std::string& message)
{
    return std::string(kHead) + HtmlEscape(title) + kStyle + "<h1>" + HtmlEscape(title) + "</h1>\n<p>"
           + HtmlEscape(message) + "</p>\n<p>" + anchor("/", "강의 목록으로") + "</p>\n</body></html>\n";
}
