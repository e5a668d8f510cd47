// The client's transport against servers that try to turn it against its user.
#include "FakeHttpServer.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "core/TransferSettings.h"
#include "net/Transport.h"
#include "text/Cp949.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class HostileServerTest : public ::testing::Test {
protected:
    void SetUp() override { SetServerUrl(server.url(QString())); }
    void TearDown() override { SetTransferSettings({}); }

    static UploadForm save()
    {
        UploadForm form;
        form.AddTextPart("flag", "S002");
        form.AddTextPart("password", "launch-token");
        form.AddDataPart("file", "multipart/form-data", "Editor", "essay");
        return form;
    }

    static QString failure(const std::function<void()>& transfer)
    {
        try {
            transfer();
        } catch (const AppError& error) {
            return error.message();
        }
        return QStringLiteral("(no error)");
    }

    static QByteArray redirect(int status, const QString& to)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + " Moved\r\nLocation: " + to.toUtf8()
               + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }

    FakeHttpServer server;
    FakeHttpServer elsewhere;
};

TEST_F(HostileServerTest, SaveFollowsNoRedirect)
{
    const QByteArray ok = FakeHttpServer::response(200, "OK", "200 ok\x03K");
    elsewhere.respond = [&](const QByteArray&) { return ok; };
    server.respond = [&](const QByteArray&) { return ok; };
    for (int status : {301, 302, 303, 307, 308}) {
        SCOPED_TRACE(status);
        server.respond = [&](const QByteArray&) { return redirect(status, elsewhere.url("/clientif")); };
        const QString message = failure([] { PostForm(save()); });
        EXPECT_TRUE(message.contains(QStringLiteral("다른 주소"))) << message.toStdString();
        EXPECT_TRUE(message.contains(elsewhere.url("/clientif"))) << message.toStdString();
    }
    EXPECT_EQ(elsewhere.requestCount, 0);
}

TEST_F(HostileServerTest, DownloadFollowsRedirectsOnTheSameServerOnly)
{
    server.respond = [&](const QByteArray& request) {
        if (request.startsWith("GET /moved "))
            return redirect(302, server.url("/record"));
        if (request.startsWith("GET /away "))
            return redirect(302, elsewhere.url("/record"));
        return FakeHttpServer::response(200, "OK", "record");
    };
    elsewhere.respond = [](const QByteArray&) { return FakeHttpServer::response(200, "OK", "other"); };

    QBuffer stream;
    DownloadToStream(server.url("/moved"), stream);
    EXPECT_EQ(stream.data(), "record");

    const QString message = failure([&] {
        QBuffer away;
        DownloadToStream(server.url("/away"), away);
    });
    EXPECT_TRUE(message.contains(QStringLiteral("따라가지 않았습니다"))) << message.toStdString();
    EXPECT_EQ(elsewhere.requestCount, 0);
}

TEST_F(HostileServerTest, OnlyHttpAddressesAreFetched)
{
    QTemporaryDir dir;
    for (const QString& address : {QStringLiteral("file:///etc/passwd"), QStringLiteral("ftp://127.0.0.1/x"),
                                   QStringLiteral("data:text/plain,secret"), QStringLiteral("/etc/passwd")}) {
        SCOPED_TRACE(address.toStdString());
        QBuffer stream;
        const QString message = failure([&] { DownloadToStream(address, stream); });
        EXPECT_TRUE(message.contains(QStringLiteral("http나 https 주소가 아니어서"))) << message.toStdString();
        EXPECT_TRUE(stream.data().isEmpty());
    }
}

TEST_F(HostileServerTest, RepliesAndDownloadsAreCapped)
{
    TransferSettings small;
    small.maxReplyBytes = 1000;
    small.maxDownloadBytes = 100000;
    SetTransferSettings(small);
    const QByteArray huge(200000, 'k');
    server.respond = [&](const QByteArray&) { return FakeHttpServer::response(200, "OK", "200 ok\x03" + huge); };

    QString message = failure([] { PostForm(save()); });
    EXPECT_TRUE(message.contains(QStringLiteral("1000바이트를 넘어"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("MaxReplyBytes"))) << message.toStdString();

    message = failure([&] {
        QBuffer stream;
        DownloadToStream(server.url("/essay/K"), stream);
    });
    EXPECT_TRUE(message.contains(QStringLiteral("MaxDownloadBytes"))) << message.toStdString();

    // Within the caps nothing changes.
    server.respond = [&](const QByteArray&) { return FakeHttpServer::response(200, "OK", "200 ok\x03K"); };
    EXPECT_EQ(PostForm(save()), QStringLiteral("200 ok\x03K"));
}

TEST_F(HostileServerTest, SaveIsNeverSentTwiceByTheNetworkLibrary)
{
    server.respond = [](const QByteArray&) { return FakeHttpServer::hangUp(); };
    const QString message = failure([] { PostForm(save()); });
    EXPECT_EQ(server.requestCount, 1);
    EXPECT_TRUE(message.contains(QStringLiteral("다시 저장하십시오"))) << message.toStdString();
}

TEST_F(HostileServerTest, UnreadableCaFileIsNamed)
{
    QTemporaryDir dir;
    TransferSettings settings;
    settings.caFile = dir.filePath("school-ca.pem");
    SetTransferSettings(settings);
    const QString message = failure([] { PostForm(save()); });
    EXPECT_TRUE(message.contains(QStringLiteral("CAFile"))) << message.toStdString();
    EXPECT_TRUE(message.contains(settings.caFile)) << message.toStdString();
    EXPECT_EQ(server.requestCount, 0);
}

}
