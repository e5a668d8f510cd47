// The error history: counted from the stored correction records, shown only to the lecture's
// student and to the teacher who corrects it, and the class table as CSV.
#include "ServedCourse.h"
#include "board/DrawTool.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "server/ErrorStats.h"
#include "support/HttpClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>

namespace {

using Kinds = std::vector<int>;

std::string essayPacket()
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001", QStringLiteral("가나다"));
    return EssayRecord::toPacket(record).toStdString();
}

// A board correction with one page per entry of `pages`, a mark of each listed kind on it,
// a comment per page and a review.
std::string correctionPacket(const std::vector<Kinds>& pages)
{
    DataSet work(CorrectionRecord::fields());
    for (std::size_t page = 0; page < pages.size(); ++page) {
        QList<CorrectionRecord::MarkRow> marks;
        for (int kind : pages[page]) {
            CorrectionRecord::MarkRow mark;
            mark.drawTool = kind;
            mark.left = 10 * int(marks.size());
            mark.right = mark.left + 20;
            mark.bottom = 20;
            marks << mark;
        }
        CorrectionRecord::storePage(work, CorrectionRecord::pageKey(int(page) + 1), marks,
                                    QStringLiteral("%1쪽").arg(page + 1));
    }
    DataSet record(CorrectionRecord::fields());
    CorrectionRecord::writeSummary(record, work, {QStringLiteral("잘 썼어요"), QStringList(7), false});
    return CorrectionRecord::toPacket(record).toStdString();
}

QJsonObject json(const HttpClient::Answer& answer)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

std::map<std::string, int> marksOf(const QJsonValue& essay)
{
    std::map<std::string, int> out;
    const QJsonObject marks = essay[QStringLiteral("marks")].toObject();
    for (auto it = marks.begin(); it != marks.end(); ++it)
        out[it.key().toStdString()] = it.value().toInt();
    return out;
}

class ErrorStatsTest : public ::testing::Test, protected ServedCourse {
protected:
    void SetUp() override
    {
        store.seedDemo();
        store.addTeacher({"T2002", "김선생"}, "teacher2");
        store.addStudent({"S2002", "이바다"}, "student2", "T1001");
        store.addStudent({"S3003", "최구름"}, "student3", "T2002");
        serve();
        ASSERT_GT(port, 0);
    }

    // A lecture of the student with an essay and, when `pages` are given, a correction
    // saved at `when` (UTC).
    std::string lecture(const std::string& key, const std::string& studentNo, const std::string& title,
                        const std::vector<Kinds>& pages, const std::string& when)
    {
        store.addLecture(key, studentNo, title, "");
        store.saveEssay({studentNo, key, title, "Y", essayPacket(), "", std::nullopt});
        const std::string teacherNo = store.lecture(key)->teacher.number;
        store.saveCorrection(
            {teacherNo, key, studentNo, correctionPacket(pages), std::string("\xff\xd8\xff\xe0", 4), "80", "Y"});
        store.engine().write([&](SqlConnection& db) {
            db.run("UPDATE corrections SET saved_at = $1 WHERE lecture_key = $2", {when, key});
        });
        return key;
    }

    std::string token(Role role, const std::string& number, Grant grant, const std::string& key)
    {
        return accounts.issueToken({role, number}, grant, key, "");
    }

    HttpClient::Answer get(const std::string& path, const std::string& bearer)
    {
        HttpClient client(port);
        return client.get(path, {{"Authorization", "Bearer " + bearer}});
    }

    HttpClient::Answer signedIn(const std::string& path, const std::string& number, const std::string& password)
    {
        HttpClient client(port);
        return client.get(path, {{"Authorization", HttpClient::basic(number, password)}});
    }

    // Three corrected lectures of S1001, corrected in another order than they were opened,
    // one not yet corrected, and one of S2002.
    void seedHistory()
    {
        lecture("LB", "S1001", "둘째 글", {{dt45}}, "2026-03-02 09:00:00");
        lecture("LA", "S1001", "첫째 글", {{dt11, dt11, dt16, dtText}, {dt16, dtNumber, dtLeft, dt13}},
                "2026-03-01 09:00:00");
        lecture("LC", "S1001", "셋째 글", {}, "2026-03-03 09:00:00");
        store.addLecture("LD", "S1001", "아직 첨삭 전", "");
        lecture("LE", "S2002", "=HYPERLINK(\"x\"), 바다", {{dt14, dt14}}, "2026-03-01 10:00:00");
    }
};

TEST_F(ErrorStatsTest, CountsTheMarksOfEachStoredCorrectionInTheOrderTheyWereCorrected)
{
    seedHistory();
    const std::map<std::string, int> first{{"2", 2}, {"4", 1}, {"7", 2}, {"28", 1}, {"29", 1}, {"30", 1}};

    // The teacher's correcting token, the student's viewing and writing tokens: one answer.
    for (const auto& [role, number, grant] :
         {std::tuple{Role::Teacher, "T1001", Grant::Correct}, std::tuple{Role::Student, "S1001", Grant::View},
          std::tuple{Role::Student, "S1001", Grant::Write}}) {
        SCOPED_TRACE(number + std::string(grant == Grant::Write ? " writing" : ""));
        const HttpClient::Answer answer = get("/api/stats/LB", token(role, number, grant, "LB"));
        ASSERT_EQ(answer.status, 200) << answer.body;
        const QJsonObject body = json(answer);
        EXPECT_EQ(body["student"]["number"].toString(), QStringLiteral("S1001"));
        EXPECT_EQ(body["student"]["name"].toString(), QStringLiteral("김하늘"));
        const QJsonArray essays = body["essays"].toArray();
        ASSERT_EQ(essays.size(), 3) << "the lecture not yet corrected has no place";
        EXPECT_EQ(essays[0]["key"].toString(), QStringLiteral("LA"));
        EXPECT_EQ(essays[0]["title"].toString(), QStringLiteral("첫째 글"));
        EXPECT_EQ(essays[0]["corrected"].toString(), QStringLiteral("2026-03-01T09:00:00Z"));
        EXPECT_EQ(marksOf(essays[0]), first);
        EXPECT_EQ(essays[1]["key"].toString(), QStringLiteral("LB"));
        EXPECT_EQ(marksOf(essays[1]), (std::map<std::string, int>{{"26", 1}}));
        EXPECT_EQ(essays[2]["key"].toString(), QStringLiteral("LC"));
        EXPECT_TRUE(marksOf(essays[2]).empty());
    }
    EXPECT_EQ(CountMarks(*store.correction("LA")),
              (std::map<int, int>{{dt11, 2}, {dt13, 1}, {dt16, 2}, {dtText, 1}, {dtNumber, 1}, {dtLeft, 1}}));
}

TEST_F(ErrorStatsTest, ATeacherSeesOnlyTheLecturesTheyCorrect)
{
    seedHistory();
    // The student moved to another teacher, who corrected one more essay.
    store.engine().write(
        [](SqlConnection& db) { db.run("UPDATE students SET teacher_no = 'T2002' WHERE student_no = 'S1001'"); });
    lecture("LF", "S1001", "새 선생님", {{dt22}}, "2026-04-01 09:00:00");

    const QJsonArray mine =
        json(get("/api/stats/LA", token(Role::Teacher, "T1001", Grant::Correct, "LA")))["essays"].toArray();
    const QJsonArray theirs =
        json(get("/api/stats/LF", token(Role::Teacher, "T2002", Grant::Correct, "LF")))["essays"].toArray();
    const QJsonArray own =
        json(get("/api/stats/LF", token(Role::Student, "S1001", Grant::View, "LF")))["essays"].toArray();
    EXPECT_EQ(mine.size(), 3);
    ASSERT_EQ(theirs.size(), 1);
    EXPECT_EQ(theirs[0]["key"].toString(), QStringLiteral("LF"));
    EXPECT_EQ(own.size(), 4) << "the student sees every corrected essay of their own";
}

TEST_F(ErrorStatsTest, TokensOfAnyoneElseAreRefused)
{
    seedHistory();
    const struct {
        const char* who;
        std::string token;
        int status;
    } cases[] = {
        {"another teacher's correcting token", token(Role::Teacher, "T2002", Grant::Correct, "LA"), 403},
        {"another student's token", token(Role::Student, "S2002", Grant::View, "LA"), 403},
        {"the teacher's viewing token", token(Role::Teacher, "T1001", Grant::View, "LA"), 401},
        {"a token of another lecture", token(Role::Teacher, "T1001", Grant::Correct, "LE"), 401},
        {"no token", "", 401},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        const HttpClient::Answer answer = get("/api/stats/LA", c.token);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_FALSE(json(answer)["message"].toString().isEmpty()) << answer.body;
        EXPECT_EQ(answer.body.find("첫째"), std::string::npos);
    }
    EXPECT_EQ(get("/api/classstats/LA", token(Role::Student, "S1001", Grant::View, "LA")).status, 401);
    EXPECT_EQ(signedIn("/stats/class.csv", "S1001", "student1").status, 404);
    EXPECT_EQ(signedIn("/stats/class.csv", "T1001", "wrong").status, 401);
}

TEST_F(ErrorStatsTest, TheClassTableHasARowPerStudentAndEssayAndAColumnPerMark)
{
    seedHistory();
    lecture("LG", "S3003", "다른 반", {{dt11}}, "2026-03-01 09:00:00");

    const HttpClient::Answer api = get("/api/classstats/LA", token(Role::Teacher, "T1001", Grant::Correct, "LA"));
    ASSERT_EQ(api.status, 200) << api.body;
    const std::string csv = json(api)["csv"].toString().toStdString();
    const HttpClient::Answer page = signedIn("/stats/class.csv", "T1001", "teacher1");
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.body, csv) << "the course page and the client get one table";

    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(csv.substr(at, end - at));
    ASSERT_EQ(lines.size(), 5u) << csv;
    EXPECT_EQ(lines[0], "학생 번호,학생 이름,강의 키,제목,첨삭 시각,띄움표,둠표(V자),둠표(V자) 변형,고침표,부호넣음표,"
                        "지움표,넣음표,뺌표,살림표(동그라미),붙임표,둠표(반달),자리바꿈표,오른자리옮김표,왼자리옮김표,"
                        "부분자리옮김표,줄바꿈표,줄이음표,줄비움표,줄붙임표,줄서로바꿈표,위치표시표,부호지움표,톱니표,"
                        "생각표,칭찬표,줄표,살림표(왼쪽 반원),둠표(오른쪽 반원),합계");
    // Text notes and numbers are no marks; the not yet corrected lecture has no row.
    EXPECT_EQ(lines[1], "S1001,김하늘,LA,첫째 글,2026-03-01T09:00:00Z,2,0,1,0,0,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
                        "0,0,1,0,6");
    EXPECT_EQ(lines[2], "S1001,김하늘,LB,둘째 글,2026-03-02T09:00:00Z,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
                        "1,0,0,0,1");
    EXPECT_EQ(lines[3].rfind("S1001,김하늘,LC,셋째 글,", 0), 0u) << lines[3];
    // A title a spreadsheet would run as a formula stays text, quoted for its comma and quotes.
    EXPECT_EQ(lines[4].rfind("S2002,이바다,LE,\"'=HYPERLINK(\"\"x\"\"), 바다\",2026-03-01T10:00:00Z,0,0,0,2,", 0), 0u)
        << lines[4];
    EXPECT_EQ(csv.find("S3003"), std::string::npos) << "another teacher's class";

    bool attachment = false;
    for (const auto& [name, value] : page.headers)
        attachment |= name == "Content-Disposition" && value.find("attachment") != std::string::npos;
    EXPECT_TRUE(attachment);
}

TEST_F(ErrorStatsTest, TheViewingLaunchFileSignsTheHistoryAndTheCoursePageShowsIt)
{
    seedHistory();
    const HttpClient::Answer launch = signedIn("/launch/C001/LA.dzl", "S1001", "student1");
    ASSERT_EQ(launch.status, 200);
    std::vector<std::string> fields;
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
        end = launch.body.find('\x03', at);
        fields.push_back(launch.body.substr(at, end == std::string::npos ? end : end - at));
    }
    ASSERT_GT(fields.size(), 5u);
    EXPECT_NE(fields[5].find("?t=" + fields[2]), std::string::npos) << "the records' own token";
    EXPECT_EQ(get("/api/stats/LA", fields[2]).status, 200);

    const std::string student = signedIn("/", "S1001", "student1").body;
    const std::size_t section = student.find("<h2>오류 통계</h2>");
    ASSERT_NE(section, std::string::npos);
    const std::string table = student.substr(section);
    EXPECT_NE(table.find("<th scope=\"col\">지움표</th>"), std::string::npos);
    EXPECT_EQ(table.find("<th scope=\"col\">고침표</th>"), std::string::npos) << "a kind that never occurs";
    EXPECT_NE(table.find("첫째 글"), std::string::npos);
    EXPECT_EQ(table.find("바다"), std::string::npos) << "another student's essay";
    EXPECT_EQ(table.find("stats/class.csv"), std::string::npos);
    EXPECT_NE(table.find("<tr><th scope=\"row\">합계</th><td></td>"), std::string::npos);

    const std::string teacher = signedIn("/", "T1001", "teacher1").body;
    EXPECT_NE(teacher.find("href=\"/stats/class.csv\""), std::string::npos);
}

}
