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

std::string link(const std::string& href, const std::string& text)
{
    return "<a href=\"" + HtmlEscape(href) + "\">" + text + "</a>";
}

// The pages replace the lecture's essay, in the order the browser sends them.
std::string scanForm(const std::string& key)
{
    return "<form method=\"post\" enctype=\"multipart/form-data\" action=\"" + HtmlEscape("/scan/" + key)
           + "\"><input type=\"file\" name=\"page\" accept=\"image/jpeg,.jpg,.jpeg\" multiple "
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

std::string CoursePage(const std::vector<Lecture>& lectures, const std::vector<Person>& students)
{
    std::string page = std::string(kHead) + "글방 강의 목록" + kStyle + "<h1>글방 강의 목록</h1>\n";
    page += "<table>\n<tr><th>강의</th><th>제목</th><th>학생</th><th>교사</th><th>답안</th>"
            "<th>점수</th><th>첨삭</th><th>실행 파일</th><th>스캔한 답안 올리기 (JPEG)</th></tr>\n";
    for (const Lecture& l : lectures) {
        const std::string key = HtmlEscape(l.key);
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
                + "</td><td>" + link("/launch/S001/" + l.key + ".dzl", "글쓰기") + " "
                + link("/launch/T001/" + l.key + ".dzl", "첨삭하기") + " "
                + link("/launch/C001/" + l.key + ".dzl", "첨삭 보기") + "</td><td>" + scanForm(l.key) + "</td></tr>\n";
    }
    page += "</table>\n<h2>새 감상문</h2>\n<ul>\n";
    for (const Person& s : students)
        page +=
            "<li>"
            + link("/launch/new/" + s.number + ".dzl", HtmlEscape(s.name) + " (" + HtmlEscape(s.number) + ") 새 글쓰기")
            + "</li>\n";
    page += "</ul>\n</body></html>\n";
    return page;
}

std::string DiscussionPage(const Lecture& lecture)
{
    return std::string(kHead) + "토의사항" + kStyle + "<h1>토의사항</h1>\n<h2>" + HtmlEscape(lecture.title)
           + "</h2>\n<p>" + HtmlEscape(lecture.discussion) + "</p>\n</body></html>\n";
}

std::string MessagePage(const std::string& title, const std::string& message)
{
    return std::string(kHead) + HtmlEscape(title) + kStyle + "<h1>" + HtmlEscape(title) + "</h1>\n<p>"
           + HtmlEscape(message) + "</p>\n<p>" + link("/", "강의 목록으로") + "</p>\n</body></html>\n";
}
