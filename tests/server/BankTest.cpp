// The comment banks over /api/bank/KEY on the real server, on both engines.
#include "ServedCourse.h"
#include "document/BankEntry.h"
#include "server/Accounts.h"
#include "server/BankStore.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "support/HttpClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <thread>

namespace {

QJsonObject add(const QString& id, const QString& text, int mark = 0, const QString& points = {})
{
    return {{"op", "add"}, {"id", id}, {"text", text}, {"mark", mark}, {"points", points}};
}

QJsonObject edit(const QString& id, qint64 version, const QString& text)
{
    return {{"op", "edit"}, {"id", id}, {"version", version}, {"text", text}, {"mark", 0}, {"points", ""}};
}

QJsonObject remove(const QString& id, qint64 version)
{
    return {{"op", "delete"}, {"id", id}, {"version", version}};
}

QJsonObject use(const QString& id)
{
    return {{"op", "use"}, {"id", id}};
}

// A teacher's run: its lecture and its correcting token.
struct TeacherRun {
    std::string key;
    std::string token;
};

class BankTest : public ::testing::Test, protected ServedCourse {
protected:
    void SetUp() override
    {
        store.seedDemo();
        store.addTeacher({"T2001", "최선생"}, "teacher2");
        store.addStudent({"S2001", "정학생"}, "student2", "T2001");
        store.addLecture("K2001", "S2001", "글", "");
        mine = {"DEMO0001", accounts.issueToken({Role::Teacher, "T1001"}, Grant::Correct, "DEMO0001", "")};
        colleague = {"K2001", accounts.issueToken({Role::Teacher, "T2001"}, Grant::Correct, "K2001", "")};
        serve();
        ASSERT_GT(port, 0);
    }

    HttpClient::Answer get(const TeacherRun& run, const std::string& token)
    {
        return HttpClient(port).get("/api/bank/" + run.key, {{"Authorization", "Bearer " + token}});
    }

    // The answer's JSON; fails the test on another status.
    QJsonObject change(const TeacherRun& run, const QJsonArray& ops, int status = 200)
    {
        const HttpClient::Answer answer = HttpClient(port).post(
            "/api/bank/" + run.key, QJsonDocument(QJsonObject{{"ops", ops}}).toJson().toStdString(), "application/json",
            {{"Authorization", "Bearer " + run.token}});
        EXPECT_EQ(answer.status, status) << answer.body;
        return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
    }

    QJsonObject read(const TeacherRun& run) { return change(run, {}); }

    static QStringList texts(const QJsonObject& answer)
    {
        QStringList out;
        for (const QJsonValue& entry : answer["entries"].toArray())
            out << entry["text"].toString() + (entry["stock"].toBool() ? "*" : "");
        return out;
    }

    static QString result(const QJsonObject& answer, int index)
    {
        return answer["results"].toArray()[index].toObject()["result"].toString();
    }

    static QJsonObject entry(const QJsonObject& answer, const QString& id)
    {
        for (const QJsonValue& e : answer["entries"].toArray())
            if (e["id"].toString() == id)
                return e.toObject();
        return {};
    }

    TeacherRun mine;
    TeacherRun colleague;
};

TEST_F(BankTest, ATeacherSeesOwnEntriesAndTheStockOnly)
{
    BankEntry stock;
    stock.text = "기본 문구";
    BankStore(store.engine()).replaceStock({stock});
    change(mine, {add("a1", "띄어 쓰세요", 13, "-1"), add("a2", "문단을 나누세요")});
    change(colleague, {add("b1", "동료의 문구")});

    const QJsonObject own = read(mine);
    // Positions first: the stock's first entry stands beside the teacher's first.
    EXPECT_EQ(texts(own), (QStringList{"띄어 쓰세요", "기본 문구*", "문단을 나누세요"}));
    EXPECT_EQ(entry(own, "a1")["mark"].toInt(), 13);
    EXPECT_EQ(entry(own, "a1")["points"].toString(), "-1");
    EXPECT_EQ(texts(read(colleague)), (QStringList{"동료의 문구", "기본 문구*"}));

    // Neither a colleague's entries nor the stock change through another teacher's bank.
    const QJsonObject tried = change(colleague, {edit("a1", 1, "고쳤다"), remove("a2", 1), add("a1", "가로채기"),
                                                 edit("stock-1", 1, "고쳤다"), remove("stock-1", 1)});
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(result(tried, i), "refused") << i;
    EXPECT_EQ(texts(read(mine)), (QStringList{"띄어 쓰세요", "기본 문구*", "문단을 나누세요"}));
    EXPECT_EQ(texts(tried), (QStringList{"동료의 문구", "기본 문구*"}));
}

TEST_F(BankTest, OnlyACorrectingTokenOfTheLectureReachesIt)
{
    const std::string studentToken = accounts.issueToken({Role::Student, "S1001"}, Grant::Write, "DEMO0001", "");
    const struct {
        const char* what;
        TeacherRun run;
        std::string token;
    } cases[] = {
        {"no token", mine, ""},
        {"a made-up token", mine, std::string(64, 'a')},
        {"the student's writing token", mine, studentToken},
        {"a colleague's token on my lecture", mine, colleague.token},
        {"my token on a colleague's lecture", colleague, mine.token},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const HttpClient::Answer answer = get(c.run, c.token);
        EXPECT_EQ(answer.status, 401);
        EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(answer.body))["message"].toString().isEmpty());
    }
    EXPECT_EQ(get(mine, mine.token).status, 200);
}

// Two machines of one teacher, each working from what it read last.
TEST_F(BankTest, ChangesFromTwoMachinesNeverOverwriteEachOtherUnseen)
{
    change(mine, {add("e1", "처음 글"), add("e2", "둘째 글")});

    // Both read version 1; the first edit wins, the second is kept beside it.
    EXPECT_EQ(result(change(mine, {edit("e1", 1, "A에서 고침")}), 0), "ok");
    const QJsonObject late = change(mine, {edit("e1", 1, "B에서 고침")});
    EXPECT_EQ(result(late, 0), "conflict");
    EXPECT_TRUE(texts(late).contains("A에서 고침"));
    EXPECT_TRUE(texts(late).contains("B에서 고침"));
    EXPECT_EQ(entry(late, "e1")["version"].toInteger(), 2);
    // The first edit sent again (its answer lost) is no conflict and adds nothing.
    const QJsonObject again = change(mine, {edit("e1", 1, "A에서 고침")});
    EXPECT_EQ(result(again, 0), "ok");
    EXPECT_EQ(texts(again).count("A에서 고침"), 1);

    // A delete made on an older version keeps the entry; on the current one it goes.
    EXPECT_EQ(result(change(mine, {remove("e1", 1)}), 0), "conflict");
    EXPECT_FALSE(entry(read(mine), "e1").isEmpty());
    EXPECT_EQ(result(change(mine, {remove("e1", 2), remove("e1", 2)}), 1), "ok") << "a delete sent again";
    EXPECT_TRUE(entry(read(mine), "e1").isEmpty());
    EXPECT_EQ(result(change(mine, {edit("e1", 2, "늦은 고침")}), 0), "gone");

    // Uses add up; an add sent again (its answer lost) stays one entry.
    change(mine, {use("e2"), add("e2", "둘째 글")});
    const QJsonObject after = change(mine, {use("e2")});
    EXPECT_EQ(entry(after, "e2")["uses"].toInteger(), 2);
    EXPECT_EQ(texts(after).count("둘째 글"), 1);
}

TEST_F(BankTest, OrderKeepsEntriesItDoesNotName)
{
    change(mine, {add("o1", "하나"), add("o2", "둘"), add("o3", "셋")});
    // Machine B added o4 after machine A read the bank; A's new order names o1..o3.
    change(mine, {add("o4", "넷")});
    const QJsonObject ordered =
        change(mine, {QJsonObject{{"op", "order"}, {"ids", QJsonArray{"o3", "o1", "o2", "nothing"}}}});
    EXPECT_EQ(texts(ordered), (QStringList{"셋", "하나", "둘", "넷"}));
}

TEST_F(BankTest, AMalformedChangeIsRefusedWholeAndStoresNothing)
{
    const struct {
        const char* what;
        QJsonObject op;
    } cases[] = {
        {"unknown op", QJsonObject{{"op", "rename"}, {"id", "x1"}}},
        {"empty text", add("x1", "  ")},
        {"text too long", add("x1", QString(BankEntry::kMaxText + 1, QChar(u'가')))},
        {"not a mark", add("x1", "글", 29)},
        {"points not a number", add("x1", "글", 0, "많이")},
        {"bad id", add("x/1", "글")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QJsonObject refused = change(mine, {add("ok1", "앞의 것"), c.op}, 400);
        EXPECT_TRUE(refused["message"].toString().contains("2번째")) << refused["message"].toString().toStdString();
        EXPECT_TRUE(texts(read(mine)).isEmpty());
    }
    const HttpClient::Answer notJson = HttpClient(port).post("/api/bank/DEMO0001", "ops=1", "application/json",
                                                             {{"Authorization", "Bearer " + mine.token}});
    EXPECT_EQ(notJson.status, 400);
}

// Changes arriving together from several machines each land whole.
TEST_F(BankTest, ConcurrentChangesAllLand)
{
    change(mine, {add("c0", "함께 쓰는 문구")});
    std::vector<std::thread> machines;
    for (int m = 0; m < 4; ++m)
        machines.emplace_back([this, m] {
            for (int i = 0; i < 10; ++i)
                change(mine, {add(QString("m%1-%2").arg(m).arg(i), QString("문구 %1-%2").arg(m).arg(i)), use("c0")});
        });
    for (std::thread& machine : machines)
        machine.join();
    const QJsonObject bank = read(mine);
    EXPECT_EQ(bank["entries"].toArray().size(), 41);
    EXPECT_EQ(entry(bank, "c0")["uses"].toInteger(), 40);
}

}
