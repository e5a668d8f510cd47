#include "ErrorStatsPage.h"

#include "CoursePage.h"
#include "ErrorStats.h"

#include "board/ProofMarks.h"

#include <algorithm>

namespace {

std::string cell(int number)
{
    return "<td class=\"score\">" + std::to_string(number) + "</td>";
}

std::string studentSection(CourseStore& store, const std::string& studentNo)
{
    const std::vector<EssayMarks> essays = StudentMarks(store, studentNo);
    std::string html = "<h2>오류 통계</h2>\n";
    if (essays.empty())
        return html + "<p class=\"muted\">아직 첨삭을 받은 글이 없습니다.</p>\n";

    // Every essay's marks together.
    EssayMarks sums;
    int largest = 1;
    for (const EssayMarks& essay : essays) {
        for (const auto& [kind, n] : essay.counts)
            sums.counts[kind] += n;
        largest = std::max(largest, essay.total());
    }
    std::vector<TDrawTool> shown;
    for (TDrawTool mark : ProofMarks())
        if (sums.count(mark) > 0)
            shown.push_back(mark);

    html += "<table class=\"stats\">\n<caption>첨삭 기호별로 센 글마다의 횟수 (첨삭한 차례대로)</caption>\n"
            "<tr><th scope=\"col\">제목</th><th scope=\"col\">첨삭 시각 (UTC)</th>";
    for (TDrawTool mark : shown)
        html += "<th scope=\"col\">" + HtmlEscape(ProofMarkName(mark).toStdString()) + "</th>";
    html += "<th scope=\"col\">합계</th></tr>\n";
    for (const EssayMarks& essay : essays) {
        html += "<tr><th scope=\"row\">" + HtmlEscape(essay.title.empty() ? "(제목 없음)" : essay.title) + "</th><td>"
                + HtmlEscape(essay.corrected) + "</td>";
        for (TDrawTool mark : shown)
            html += cell(essay.count(mark));
        const int sum = essay.total();
        // The bar only repeats the number beside it, so it is hidden from screen readers.
        html += "<td class=\"score\">" + std::to_string(sum)
                + " <span aria-hidden=\"true\" style=\"display: inline-block; height: .8em; "
                  "background: #d9822b; width: "
                + std::to_string(sum * 120 / largest) + "px\"></span></td></tr>\n";
    }
    html += "<tr><th scope=\"row\">합계</th><td></td>";
    for (TDrawTool mark : shown)
        html += cell(sums.count(mark));
    return html + cell(sums.total()) + "</tr>\n</table>\n";
}

}

std::string ErrorStatsSection(CourseStore& store, const User& user)
{
    if (user.role == Role::Student)
        return studentSection(store, user.number);
    return "<h2>오류 통계</h2>\n<p><a class=\"action\" href=\"/stats/class.csv\" download>반 전체 오류 통계 "
           "내려받기 (CSV)</a></p>\n";
}
