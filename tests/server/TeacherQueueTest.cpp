#include "ServedCourse.h"
#include "document/CorrectionRecord.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "server/Cp949Text.h"
#include "support/HttpClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QJsonObject json(const HttpClient::Answer& answer)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
}

QString keyOf(const QJsonObject& answer, const char* side)
{
    return answer.value(QLatin1String(side)).toObject().value(QStringLiteral("key")).toString();
}

// Two teachers. T1001's lectures in the order they were opened: A saved, B never written,
// C corrected, D and E saved; T2002 has F, saved.
class TeacherQueueTest : public ::testing::Test, protected ServedCourse {
protected:
    TeacherQueueTest()
    {
        store.seedDemo();
        store.addTeacher({"T2002", "최선생"}, "teacher2");
        store.addStudent({"S2002", "이바다"}, "student2", "T1001");
        store.addStudent({"S3003", "정구름"}, "student3", "T2002");
        for (const auto& [key, student] : std::vector<std::pair<std::string, std::string>>{{"QA", "S1001"},
                                                                                           {"QB", "S2002"},
                                                                                           {"QC", "S1001"},
                                                                                           {"QD", "S2002"},
                                                                                           {"QE", "S1001"},
                                                                                           {"QF", "S3003"}}) {
            store.addLecture(key, student, "제목 " + key, "");
            if (key != "QB")
                store.saveEssay({student, key, "제목 " + key, "N", "essay " + key, {}, {}});
        }
        store.saveCorrection({"T1001", "QC", "S1001", "correction", std::string("\xff\xd8 jpeg"), "80", "N", {}});
        serve();
    }

    std::string token(const std::string& key, Grant grant = Grant::Correct, const std::string& person = "T1001")
    {
        return accounts.issueToken({grant == Grant::Correct ? Role::Teacher : Role::Student, person}, grant, key, "");
    }

    static HttpClient::Headers bearer(const std::string& token) { return {{"Authorization", "Bearer " + token}}; }

    HttpClient::Answer queue(const std::string& key, const std::string& query = {})
    {
        return client().get("/api/queue/" + key + query, bearer(token(key)));
    }

    HttpClient::Answer move(const std::string& key, const std::string& body, const std::string& signedWith)
    {
        return client().post("/api/queue/" + key, body, "application/json", bearer(signedWith));
    }

    HttpClient& client()
    {
        if (!client_)
            client_ = std::make_unique<HttpClient>(port);
        return *client_;
    }

    std::unique_ptr<HttpClient> client_;
};

TEST_F(TeacherQueueTest, PositionAndNeighboursFollowTheCoursePageOrder)
{
    const struct {
        const char* key;
        const char* query;
        int position, count;
        const char* previous;
        const char* next;
    } cases[] = {
        {"QA", "", 1, 3, "", "QD"},
        {"QD", "", 2, 3, "QA", "QE"},
        {"QE", "", 3, 3, "QD", ""},
        // Corrected, it still counts where it stands: the teacher moves on from there.
        {"QC", "", 2, 4, "QA", "QD"},
        {"QD", "?all=1", 3, 4, "QC", "QE"},
        {"QA", "?all=0", 1, 3, "", "QD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + c.query);
        const HttpClient::Answer answer = queue(c.key, c.query);
        ASSERT_EQ(answer.status, 200) << answer.body;
        const QJsonObject place = json(answer);
        EXPECT_EQ(place.value(QStringLiteral("position")).toInt(), c.position);
        EXPECT_EQ(place.value(QStringLiteral("count")).toInt(), c.count);
        EXPECT_EQ(keyOf(place, "previous"), QString::fromLatin1(c.previous));
        EXPECT_EQ(keyOf(place, "next"), QString::fromLatin1(c.next));
    }
    const QJsonObject next = json(queue("QA")).value(QStringLiteral("next")).toObject();
    EXPECT_EQ(next.value(QStringLiteral("title")).toString(), QStringLiteral("제목 QD"));
    EXPECT_EQ(next.value(QStringLiteral("student")).toString(), QStringLiteral("이바다"));

    // The course page lists the same queue, the next one to open first.
    const std::string page = client().get("/", {{"Authorization", HttpClient::basic("T1001", "teacher1")}}).body;
    const std::size_t section = page.find("첨삭할 답안 3편");
    ASSERT_NE(section, std::string::npos) << page;
    const std::size_t a = page.find("/launch/T001/QA.dzl", section);
    const std::size_t d = page.find("/launch/T001/QD.dzl", section);
    const std::size_t e = page.find("/launch/T001/QE.dzl", section);
    EXPECT_LT(a, d);
    EXPECT_LT(d, e);
    EXPECT_LT(e, page.find("<h2>강의</h2>"));
    EXPECT_EQ(page.find("<script"), std::string::npos);
    const std::string student = client().get("/", {{"Authorization", HttpClient::basic("S1001", "student1")}}).body;
    EXPECT_EQ(student.find("첨삭할 답안"), std::string::npos);
}

TEST_F(TeacherQueueTest, OnlyTheLecturesTeacherWithACorrectingTokenIsAnswered)
{
    const std::string other = token("QF", Grant::Correct, "T2002");
    const struct {
        const char* what;
        std::string key;
        std::string signedWith;
        int status;
    } cases[] = {
        {"no token", "QA", "", 401},
        {"a student's writing token", "QA", token("QA", Grant::Write, "S1001"), 401},
        {"a viewing token", "QA", token("QA", Grant::View), 401},
        {"another lecture's token", "QD", token("QA"), 401},
        {"another teacher's token for their lecture, on ours", "QA", other, 401},
        {"our token on another teacher's lecture", "QF", token("QA"), 401},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const HttpClient::Answer& answer : {client().get("/api/queue/" + c.key, bearer(c.signedWith)),
                                                 move(c.key, R"({"to":"next"})", c.signedWith)}) {
            EXPECT_EQ(answer.status, c.status) << answer.body;
            EXPECT_FALSE(json(answer).value(QStringLiteral("message")).toString().isEmpty()) << answer.body;
        }
    }
    // The other teacher's queue holds only their own lecture.
    const QJsonObject theirs = json(client().get("/api/queue/QF?all=1", bearer(other)));
    EXPECT_EQ(theirs.value(QStringLiteral("count")).toInt(), 1);
}

TEST_F(TeacherQueueTest, AMoveIsRefusedPastTheEndsAndForABadBody)
{
    const std::string signedWith = token("QA");
    const struct {
        const char* body;
        int status;
    } cases[] = {{R"({"to":"previous"})", 409}, {R"({"to":"sideways"})", 400}, {"[1]", 400}, {"not json", 400}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const HttpClient::Answer answer = move("QA", c.body, signedWith);
        EXPECT_EQ(answer.status, c.status) << answer.body;
        EXPECT_FALSE(json(answer).value(QStringLiteral("message")).toString().isEmpty()) << answer.body;
    }
}

TEST_F(TeacherQueueTest, AMoveHandsOutTheLaunchFileWithAFreshTokenThatCorrects)
{
    const HttpClient::Answer answer = move("QA", R"({"to":"next"})", token("QA"));
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(json(answer).value(QStringLiteral("key")).toString(), QStringLiteral("QD"));
    const std::string launch =
        QByteArray::fromBase64(json(answer).value(QStringLiteral("launch")).toString().toLatin1()).toStdString();
    const QStringList fields = QString::fromStdString(Cp949ToUtf8(launch).value()).split(QChar(3));
    ASSERT_GE(fields.size(), 14) << launch;
    const std::string fresh = fields[2].toStdString();
    EXPECT_EQ(fresh.size(), 64u);

    // The same file the course page hands out, its token aside.
    const std::string page =
        client().get("/launch/T001/QD.dzl", {{"Authorization", HttpClient::basic("T1001", "teacher1")}}).body;
    QString pageText = QString::fromStdString(Cp949ToUtf8(page).value());
    pageText.replace(pageText.split(QChar(3)).at(2), QString::fromStdString(fresh));
    EXPECT_EQ(fields.join(QChar(3)), pageText);

    const HttpClient::Answer essay = client().get("/essay/QD?t=" + fresh);
    EXPECT_EQ(essay.status, 200);
    EXPECT_EQ(essay.body, "essay QD");

    DataSet record(CorrectionRecord::fields());
    const std::string correction = CorrectionRecord::toPacket(record).toStdString();
    const HttpClient::Answer saved = client().postForm("/clientif", {{"flag", "T002", "", ""},
                                                                     {"teacher_no", "T1001", "", ""},
                                                                     {"password", fresh, "", ""},
                                                                     {"lecturekey", "QD", "", ""},
                                                                     {"student_no", "S2002", "", ""},
                                                                     {"file", correction, "Teacher", ""},
                                                                     {"thumbnail", "\xff\xd8\xff\xe0 jpeg", "thum", ""},
                                                                     {"report_point", "90", "", ""},
                                                                     {"submit", "N", "", ""}});
    EXPECT_EQ(saved.status, 200) << saved.body;
    EXPECT_EQ(store.correction("QD"), correction);
    const HttpClient::Answer stored = client().get("/correction/QD?t=" + fresh);
    EXPECT_EQ(stored.status, 200);
    EXPECT_EQ(stored.body, correction);

    // The fresh token opens that lecture only.
    EXPECT_EQ(client().get("/essay/QE?t=" + fresh).status, 404);
}

}
