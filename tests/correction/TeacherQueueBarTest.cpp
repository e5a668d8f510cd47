#include "core/Endpoint.h"
#include "correction/TeacherQueueBar.h"
#include "net/FakeHttpServer.h"
#include "support/RecordingDialogs.h"
#include "ui/PictureButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QByteArray answer(int status, const QByteArray& type, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: " + type
           + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray place(int position, int count, bool previous, bool next)
{
    const QByteArray neighbour = R"({"key":"K","title":"가을 하늘","student":"이바다"})";
    return "{\"position\":" + QByteArray::number(position) + ",\"count\":" + QByteArray::number(count)
           + ",\"previous\":" + (previous ? neighbour : "null") + ",\"next\":" + (next ? neighbour : "null") + "}";
}

const QByteArray kJson = "application/json; charset=utf-8";

// The bar in a window with a text box, as it stands in the correction frame.
class TeacherQueueBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetServerUrl(server.url(QString()));
        auto* layout = new QVBoxLayout(&window);
        memo = new QPlainTextEdit(&window);
        bar = new TeacherQueueBar(&window);
        layout->addWidget(memo);
        layout->addWidget(bar);
        window.show();
    }

    void load(const QByteArray& reply)
    {
        server.respond = [reply](const QByteArray&) { return reply; };
        bar->Load(QStringLiteral("QD"), QStringLiteral("token"));
    }

    FakeHttpServer server;
    ScopedRecordingDialogs dialogs;
    QWidget window;
    QPlainTextEdit* memo;
    TeacherQueueBar* bar;
};

TEST_F(TeacherQueueBarTest, ButtonsFollowThePlaceInTheQueue)
{
    const struct {
        const char* what;
        QByteArray reply;
        const char* label;
        bool previous, next;
        const char* previousTip;
        const char* nextTip;
    } cases[] = {
        {"first", place(1, 3, false, true), "1 / 3", false, true, "첫 답안입니다", "다음 답안: 이바다 - 가을 하늘"},
        {"middle", place(2, 17, true, true), "2 / 17", true, true, "이전 답안: 이바다 - 가을 하늘", "Alt+→"},
        {"last", place(3, 3, true, false), "3 / 3", true, false, "Alt+←", "마지막 답안입니다"},
        {"alone", place(1, 1, false, false), "1 / 1", false, false, "첫 답안입니다", "마지막 답안입니다"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(answer(200, kJson, c.reply));
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->lblQueue->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(bar->btnPrevious->isEnabled(), c.previous);
        EXPECT_EQ(bar->btnNext->isEnabled(), c.next);
        EXPECT_TRUE(bar->btnPrevious->toolTip().contains(QString::fromUtf8(c.previousTip)))
            << bar->btnPrevious->toolTip().toStdString();
        EXPECT_TRUE(bar->btnNext->toolTip().contains(QString::fromUtf8(c.nextTip)))
            << bar->btnNext->toolTip().toStdString();
    }
    EXPECT_TRUE(server.lastRequest.startsWith("GET /api/queue/QD HTTP/1.1\r\n")) << server.lastRequest.constData();
    EXPECT_EQ(FakeHttpServer::headerOf(server.lastRequest, "Authorization"), "Bearer token");
    EXPECT_EQ(bar->btnNext->accessibleName(), QStringLiteral("다음 답안"));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

// A site that knows nothing of the queue: nothing shown, nothing said.
TEST_F(TeacherQueueBarTest, ASiteWithoutAQueueShowsNothing)
{
    const struct {
        const char* what;
        QByteArray reply;
    } cases[] = {
        {"404 page", answer(404, "text/html", "<h1>Not Found</h1>")},
        {"its own page", answer(200, "text/html", "<html>강좌</html>")},
        {"JSON of another kind", answer(200, kJson, R"({"items":[]})")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy failed(bar, &TeacherQueueBar::failed);
        load(c.reply);
        EXPECT_FALSE(bar->isVisible());
        EXPECT_FALSE(bar->Queue());
        EXPECT_TRUE(failed.isEmpty());
    }
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(TeacherQueueBarTest, AFailedAnswerIsSaidQuietly)
{
    QSignalSpy failed(bar, &TeacherQueueBar::failed);
    load(answer(401, kJson, QStringLiteral(R"({"message":"인증이 끝났습니다."})").toUtf8()));
    EXPECT_FALSE(bar->isVisible());
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.first().first().toString().contains(QStringLiteral("인증이 끝났습니다.")));

    // Once shown, a failed refresh keeps what the teacher saw.
    load(answer(200, kJson, place(2, 3, true, true)));
    server.respond = [](const QByteArray&) { return FakeHttpServer::hangUp(); };
    bar->Refresh();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->lblQueue->text(), QStringLiteral("2 / 3"));
    EXPECT_EQ(failed.size(), 2);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(TeacherQueueBarTest, AllEssaysAsksAgainWithAll)
{
    load(answer(200, kJson, place(1, 3, false, true)));
    server.respond = [](const QByteArray&) { return answer(200, kJson, place(2, 5, true, true)); };
    bar->chkAll->click();
    EXPECT_TRUE(server.lastRequest.startsWith("GET /api/queue/QD?all=1 HTTP/1.1\r\n"))
        << server.lastRequest.constData();
    EXPECT_EQ(bar->lblQueue->text(), QStringLiteral("2 / 5"));
    EXPECT_TRUE(bar->AllEssays());
}

// Alt with an arrow moves while the teacher types in a text box; the bare arrow only moves
// the caret, and a disabled end moves nowhere.
TEST_F(TeacherQueueBarTest, AltArrowsMoveFromATextBox)
{
    load(answer(200, kJson, place(1, 3, false, true)));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    memo->setFocus();
    QSignalSpy moves(bar, &TeacherQueueBar::moveRequested);

    QTest::keyClick(memo, Qt::Key_Right);
    QTest::keyClick(memo, Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(moves.isEmpty());
    QTest::keyClick(memo, Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves.first().first().value<EssayQueue::Direction>(), EssayQueue::Direction::Next);
    EXPECT_TRUE(memo->hasFocus());
}

}
