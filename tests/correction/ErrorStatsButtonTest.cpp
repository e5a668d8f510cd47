// The "오류 통계" button against a course site: shown only when the site answers the history
// request; a site that knows nothing of it leaves the run as it was.
#include "../net/FakeHttpServer.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/CorrectionLaunch.h"
#include "correction/ErrorStatsButton.h"
#include "correction/TfrmErrorStats.h"
#include "support/RecordingDialogs.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray answer(int status, const QByteArray& type, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: " + type
           + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

const QByteArray kJson = "application/json; charset=utf-8";
const QByteArray kHistory = R"({"student": {"number": "S1001", "name": "김하늘"}, "essays": [
  {"key": "K1", "title": "첫째", "corrected": "2026-03-01T09:00:00Z", "marks": {"7": 2}}]})";

class ErrorStatsButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetServerUrl(server.url(QString()));
        launch.lectureKey = QStringLiteral("K1");
        launch.password = QStringLiteral("token");
        strip.resize(600, 25);
    }

    FakeHttpServer server;
    ScopedRecordingDialogs dialogs;
    CorrectionLaunch launch;
    QWidget strip;
    ErrorStatsButton* button = new ErrorStatsButton(&strip);
};

TEST_F(ErrorStatsButtonTest, StaysHiddenWhenTheSiteOffersNoHistory)
{
    const struct {
        const char* what;
        QByteArray reply;
    } cases[] = {
        {"404 page", answer(404, "text/html", "<h1>Not Found</h1>")},
        {"the site's own page", answer(200, "text/html", "<html>강좌</html>")},
        {"a refusal", answer(403, kJson, R"({"message": "안 됩니다."})")},
        {"a server fault", answer(500, "text/plain", "oops")},
        {"JSON that is no history", answer(200, kJson, R"({"essays": 3})")},
        {"no answer", FakeHttpServer::hangUp()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.respond = [&](const QByteArray&) { return c.reply; };
        button->Offer(launch, true);
        EXPECT_TRUE(button->isHidden());
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << "the run goes on without a word";
    }
    EXPECT_TRUE(server.lastRequest.startsWith("GET /api/stats/K1 "));

    // A run that cannot sign (no token) asks nothing.
    const int asked = server.requestCount;
    launch.password.clear();
    button->Offer(launch, true);
    EXPECT_TRUE(button->isHidden());
    EXPECT_EQ(server.requestCount, asked);
}

TEST_F(ErrorStatsButtonTest, ShowsOnceAnsweredAndOpensTheWindowWithFreshNumbers)
{
    server.respond = [](const QByteArray&) { return answer(200, kJson, kHistory); };
    button->Offer(launch, false);
    strip.show();
    ASSERT_FALSE(button->isHidden());

    // A correction saved since: the click asks again.
    QByteArray later = kHistory;
    later.replace(R"({"7": 2})", R"({"7": 5})");
    server.respond = [&](const QByteArray&) { return answer(200, kJson, later); };
    QTest::mouseClick(button, Qt::LeftButton);
    TfrmErrorStats* window = button->Window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("오류 통계"));
    EXPECT_EQ(window->model().index(0, 0).data().toInt(), 5);
    EXPECT_TRUE(window->btnClassCsv->isHidden()) << "no class table in a viewing run";
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    // The site stops answering: the click says so and the window keeps what it showed.
    server.respond = [](const QByteArray&) { return answer(503, "text/plain", "busy"); };
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes.first().kind, RecordingDialogs::Kind::Error);
    EXPECT_EQ(window->model().index(0, 0).data().toInt(), 5);
}

TEST_F(ErrorStatsButtonTest, TheClassTableIsSavedAsTheServerLaysItOut)
{
    QTemporaryDir dir;
    const QString csv = QStringLiteral("학생 번호,학생 이름\r\nS1001,김하늘\r\n");
    server.respond = [&](const QByteArray& request) {
        if (request.startsWith("GET /api/classstats/K1 "))
            return answer(200, kJson, QJsonDocument(QJsonObject{{QStringLiteral("csv"), csv}}).toJson());
        return answer(200, kJson, kHistory);
    };
    button->Offer(launch, true);
    button->click();
    TfrmErrorStats* window = button->Window();
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->btnClassCsv->isHidden());

    const QString path = dir.filePath(QStringLiteral("class.csv"));
    window->saveClassCsv(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), csv.toUtf8());
    file.close();

    // A site without the class table: a clear error, and the file saved before stays whole.
    server.respond = [](const QByteArray&) { return answer(404, "text/html", "<h1>Not Found</h1>"); };
    EXPECT_THROW(window->saveClassCsv(path), AppError);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), csv.toUtf8());
    EXPECT_THROW(window->saveClassCsv(dir.filePath(QStringLiteral("no/such/folder/x.csv"))), AppError);
}

}
