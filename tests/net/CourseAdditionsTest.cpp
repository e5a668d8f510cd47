#include "FakeHttpServer.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "net/CourseAdditions.h"

#include <gtest/gtest.h>

namespace {

QByteArray answer(int status, const QByteArray& head, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\n" + head
           + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

const QByteArray kJson = "Content-Type: application/json; charset=utf-8\r\n";

class CourseAdditionsTest : public ::testing::Test {
protected:
    void SetUp() override { SetServerUrl(server.url(QString())); }

    FakeHttpServer server;
    CourseAdditions additions{QStringLiteral("K 1"), QStringLiteral("tok")};
};

TEST_F(CourseAdditionsTest, SignsWithTheTokenAndNamesTheLecture)
{
    server.respond = [](const QByteArray&) { return answer(200, kJson, R"({"size":3})"); };

    const auto got = additions.get(QStringLiteral("queue"), QUrlQuery(QStringLiteral("all=1")), QStringLiteral("…"));

    ASSERT_TRUE(got);
    EXPECT_EQ(got->value(QStringLiteral("size")).toInt(), 3);
    EXPECT_TRUE(server.lastRequest.startsWith("GET /api/queue/K%201?all=1 HTTP/1.1\r\n"));
    EXPECT_EQ(FakeHttpServer::headerOf(server.lastRequest, "Authorization"), "Bearer tok");

    additions.post(QStringLiteral("bank"), {{QStringLiteral("text"), QStringLiteral("띄어 쓰세요")}}, {});
    EXPECT_TRUE(server.lastRequest.startsWith("POST /api/bank/K%201 HTTP/1.1\r\n"));
    EXPECT_EQ(FakeHttpServer::bodyOf(server.lastRequest), QStringLiteral(R"({"text":"띄어 쓰세요"})").toUtf8());
}

// A site that knows nothing of these requests answers in its own way; none of it is an error.
TEST_F(CourseAdditionsTest, ASiteWithoutThemAnswersNotOffered)
{
    const struct {
        const char* what;
        QByteArray reply;
    } cases[] = {
        {"404", answer(404, "Content-Type: text/html\r\n", "<h1>Not Found</h1>")},
        {"405", answer(405, "", "")},
        {"redirect to sign-in", answer(302, "Location: /login\r\n", "")},
        {"its own page with 200", answer(200, "Content-Type: text/html\r\n", "<html>강좌</html>")},
        {"JSON type, not an object", answer(200, kJson, "[1,2]")},
        {"JSON type, broken", answer(200, kJson, "{\"a\":")},
        {"403 without our message", answer(403, "Content-Type: text/plain\r\n", "forbidden")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.respond = [&](const QByteArray&) { return c.reply; };
        EXPECT_FALSE(additions.get(QStringLiteral("stats"), {}, {}));
    }
}

TEST_F(CourseAdditionsTest, RefusalsAndFailuresSayWhy)
{
    server.respond = [](const QByteArray&) {
        return answer(401, kJson, QStringLiteral(R"({"message":"인증이 끝났습니다."})").toUtf8());
    };
    try {
        additions.get(QStringLiteral("bank"), {}, {});
        FAIL() << "a refusal must raise";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("인증이 끝났습니다."))) << e.message().toStdString();
    }

    server.respond = [](const QByteArray&) { return answer(503, "", "busy"); };
    EXPECT_THROW(additions.get(QStringLiteral("bank"), {}, {}), AppError);

    server.respond = [](const QByteArray&) { return FakeHttpServer::hangUp(); };
    EXPECT_THROW(additions.get(QStringLiteral("bank"), {}, {}), AppError);
}

TEST_F(CourseAdditionsTest, ARunWithoutTokenAsksNothing)
{
    server.respond = [](const QByteArray&) { return answer(200, kJson, "{}"); };
    for (const CourseAdditions& run :
         {CourseAdditions(QString(), QStringLiteral("tok")), CourseAdditions(QStringLiteral("K1"), QString())}) {
        EXPECT_FALSE(run.possible());
        EXPECT_FALSE(run.get(QStringLiteral("queue"), {}, {}));
    }
    EXPECT_EQ(server.requestCount, 0);
}

}
