#include "FakeHttpServer.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "core/TransferGate.h"
#include "net/HttpClient.h"
#include "net/TfrmProBar.h"
#include "net/Transport.h"
#include "text/Cp949.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Direction = HttpClient::Direction;

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override { SetServerUrl(server.url(QString())); }

    static QByteArray ok(const QByteArray& body) { return FakeHttpServer::response(200, "OK", body); }

    FakeHttpServer server;
};

UploadForm essayForm(const QByteArray& record)
{
    UploadForm form;
    form.AddTextPart("flag", "S002");
    form.AddTextPart("student_no", "S1001");
    form.AddTextPart("password", "pw");
    form.AddTextPart("lecturekey", "");
    form.AddTextPart("submit", "N");
    form.AddTextPart("title", "가을 하늘");
    form.AddDataPart("file", "multipart/form-data", "Editor", record);
    return form;
}

TEST_F(TransportTest, PostsTheFormWithExactFraming)
{
    // A record that looks like framing must travel untouched.
    const QByteArray record = QByteArray("<DATAPACKET>\r\n--\r\n\x00\x03\xff", 21) + "</DATAPACKET>";
    const QByteArray reply = Cp949::encode("200 저장되었습니다.") + '\x03' + "LK77";
    server.respond = [&](const QByteArray&) { return ok(reply); };

    EXPECT_EQ(PostForm(essayForm(record)), Cp949::decode(reply));

    const QByteArray& request = server.lastRequest;
    EXPECT_TRUE(request.startsWith("POST /clientif HTTP/1.1\r\n"));
    const QByteArray contentType = FakeHttpServer::headerOf(request, "Content-Type");
    ASSERT_TRUE(contentType.startsWith("multipart/form-data; boundary="));
    const QByteArray boundary = contentType.mid(contentType.indexOf('=') + 1);
    ASSERT_FALSE(boundary.isEmpty());
    EXPECT_FALSE(record.contains(boundary));

    const QByteArray d = "--" + boundary + "\r\n";
    auto text = [&](const QByteArray& name, const QByteArray& value) {
        return d + "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    };
    const QByteArray expected =
        text("flag", "S002") + text("student_no", "S1001") + text("password", "pw") + text("lecturekey", "")
        + text("submit", "N") + text("title", "\xb0\xa1\xc0\xbb \xc7\xcf\xb4\xc3")  // 가을 하늘 in code page 949
        + d + "Content-Disposition: form-data; name=\"file\"; filename=\"Editor\"\r\n"
        + "Content-Type: multipart/form-data\r\n\r\n" + record + "\r\n" + "--" + boundary + "--\r\n";
    EXPECT_EQ(FakeHttpServer::bodyOf(request), expected);
}

TEST_F(TransportTest, RefusesTextCodePage949CannotHoldBeforeSending)
{
    UploadForm form;
    EXPECT_THROW(form.AddTextPart("title", QStringLiteral(u"emoji \U0001F600")), AppError);
    EXPECT_THROW(form.AddDataPart("file\"; x=\"", "a", "b", {}), AppError);
    EXPECT_TRUE(server.lastRequest.isEmpty());
}

TEST_F(TransportTest, DownloadLandsAtPositionZero)
{
    for (const QByteArray& body : {QByteArray(), QByteArray(70000, 'x') + "\x00\x03"}) {
        SCOPED_TRACE(body.size());
        server.respond = [&](const QByteArray&) { return ok(body); };
        QBuffer stream;
        DownloadToStream(server.url("/essay/K1"), stream);
        EXPECT_TRUE(server.lastRequest.startsWith("GET /essay/K1 HTTP/1.1\r\n"));
        EXPECT_TRUE(stream.isOpen());
        EXPECT_EQ(stream.pos(), 0);
        EXPECT_EQ(stream.data(), body);
        ASSERT_NE(CurrentProgressWindow(), nullptr);
        EXPECT_TRUE(CurrentProgressWindow()->isHidden());
    }
}

TEST_F(TransportTest, QuickTransferShowsNoWindow)
{
    server.respond = [&](const QByteArray&) { return ok("12345"); };
    QBuffer stream;
    DownloadToStream(server.url("/x"), stream);
    TfrmProBar* window = CurrentProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "수신중입니다.");
    EXPECT_EQ(window->objectName() + "/" + window->probar()->objectName(), "frmProBar/probar");
    EXPECT_EQ(window->probar()->maximum(), 5);
    EXPECT_EQ(window->probar()->value(), 5);
    QTest::qWait(TfrmProBar::kShowDelayMs + 100);
    EXPECT_TRUE(window->isHidden()) << "an ended transfer's window never shows";
}

// A reply that does not come: the window shows after the delay, its 취소 stops the save,
// and the error says so.
TEST_F(TransportTest, SlowTransferShowsTheWindowAndCancelStopsIt)
{
    server.respond = [](const QByteArray&) { return QByteArray(); };
    bool shown = false;
    QString caption;
    QTimer::singleShot(TfrmProBar::kShowDelayMs + 200, [&] {
        TfrmProBar* window = CurrentProgressWindow();
        shown = window->isVisible();
        caption = window->windowTitle();
        QTest::mouseClick(window->btnCancel(), Qt::LeftButton);
    });
    QString message;
    try {
        PostForm(essayForm("r"));
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& error) {
        message = error.message();
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(caption, "전송중입니다.");
    EXPECT_EQ(CurrentProgressWindow()->btnCancel()->text(), "취소");
    EXPECT_TRUE(message.contains("전송을 취소했습니다")) << message.toStdString();
    EXPECT_TRUE(CurrentProgressWindow()->isHidden());
    EXPECT_FALSE(TransferGate::instance().busy());
}

TEST(TfrmProBar, ReactsToBeginProgressAndEnd)
{
    TfrmProBar window;
    EXPECT_EQ(window.size(), QSize(288, 56));
    EXPECT_EQ(window.probar()->geometry(), QRect(4, 4, 273, 16));
    EXPECT_EQ(window.probar()->maximum(), 100);
    window.show();
    window.workBegin(5000);
    EXPECT_EQ(window.probar()->maximum(), 5000);
    window.work(1200);
    EXPECT_EQ(window.probar()->value(), 1200);
    EXPECT_TRUE(window.isVisible());
    window.workEnd();
    EXPECT_TRUE(window.isHidden());
}

TEST_F(TransportTest, ClientReportsEachDirectionOnce)
{
    server.respond = [&](const QByteArray&) { return ok(QByteArray(3000, 'r')); };
    HttpClient client;
    QSignalSpy begins(&client, &HttpClient::workBegin);
    QSignalSpy works(&client, &HttpClient::work);
    QSignalSpy ends(&client, &HttpClient::workEnd);
    const QByteArray body(100000, 'b');
    EXPECT_EQ(client.post(server.url("/clientif"), "application/octet-stream", body).size(), 3000);

    ASSERT_EQ(begins.size(), 2);
    EXPECT_EQ(begins[0][0].value<Direction>(), Direction::Send);
    EXPECT_EQ(begins[0][1].toLongLong(), body.size());
    EXPECT_EQ(begins[1][0].value<Direction>(), Direction::Receive);
    EXPECT_EQ(begins[1][1].toLongLong(), 3000);
    ASSERT_EQ(ends.size(), 2);
    EXPECT_EQ(ends[0][0].value<Direction>(), Direction::Send);
    qint64 lastSent = -1;
    for (const QList<QVariant>& w : works)
        if (w[0].value<Direction>() == Direction::Send)
            lastSent = w[1].toLongLong();
    EXPECT_EQ(lastSent, body.size());
}

// A port nothing listens on.
QString refusedAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

struct FailureCase {
    const char* name;
    QByteArray answer;  // empty: the address refuses connections
    const char* expected;
};

TEST_F(TransportTest, FailuresRaiseAnErrorAndHideTheWindow)
{
    const QByteArray overLimit = Cp949::encode("413 글이 너무 큽니다") + '\x03';
    const FailureCase cases[] = {
        {"refused", {}, "통신하지 못했습니다"},
        {"http 500", FakeHttpServer::response(500, "Internal Server Error", "oops"), "HTTP 500"},
        {"http 404", FakeHttpServer::response(404, "Not Found", ""), "HTTP 404"},
        {"server's message kept", FakeHttpServer::response(413, "Too Large", overLimit), "글이 너무 큽니다"},
        {"broken transfer", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nonly ten..",
         "통신하지 못했습니다"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = c.answer.isEmpty() ? refusedAddress() : server.url(QString());
        SetServerUrl(base);
        server.respond = [&](const QByteArray&) { return c.answer; };

        for (int operation = 0; operation < 2; ++operation) {
            QString message;
            try {
                if (operation == 0) {
                    PostForm(essayForm("r"));
                } else {
                    QBuffer stream;
                    DownloadToStream(base + "/essay/K1", stream);
                }
                ADD_FAILURE() << "no error raised";
            } catch (const AppError& error) {
                message = error.message();
            }
            EXPECT_TRUE(message.contains(c.expected)) << message.toStdString();
            EXPECT_TRUE(message.contains(base)) << message.toStdString();
            ASSERT_NE(CurrentProgressWindow(), nullptr);
            EXPECT_TRUE(CurrentProgressWindow()->isHidden());
            EXPECT_FALSE(TransferGate::instance().busy());
        }
    }
}

// The idle limit restarts with every byte; the deadline holds for the whole transfer.
TEST_F(TransportTest, TransferPastItsDeadlineIsGivenUp)
{
    server.respond = [](const QByteArray&) { return QByteArray(); };
    HttpClient client(std::chrono::milliseconds(60000), std::chrono::milliseconds(300));
    try {
        client.get(server.url("/essay/K1"));
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains("끝나지 않아")) << error.message().toStdString();
    }
}

TEST_F(TransportTest, SilentServerIsGivenUp)
{
    server.respond = [](const QByteArray&) { return QByteArray(); };
    HttpClient client(std::chrono::milliseconds(300));
    try {
        client.get(server.url("/essay/K1"));
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains("응답하지 않아")) << error.message().toStdString();
    }
}

TEST_F(TransportTest, TransferStartedInsideATransferIsRefusedQuietly)
{
    bool nestedRefused = false;
    int requests = 0;
    server.respond = [&](const QByteArray&) {
        ++requests;
        try {
            PostForm(essayForm("second"));
        } catch (const SilentAbort&) {
            nestedRefused = true;
        }
        return ok("200 ok");
    };
    QSignalSpy idle(&TransferGate::instance(), &TransferGate::idle);
    EXPECT_EQ(PostForm(essayForm("first")), "200 ok");
    EXPECT_TRUE(nestedRefused);
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(FakeHttpServer::bodyOf(server.lastRequest).contains("first"));
    EXPECT_FALSE(TransferGate::instance().busy());
    EXPECT_EQ(idle.size(), 1);
}

}
