// The course server speaking HTTPS itself: forward secrecy only, and HSTS on every answer.
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ServerTls, AgreesOnlyToForwardSecretSuitesAndSendsHsts)
{
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem");
    const QString key = dir.filePath("key.pem");
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                              "-keyout", key, "-out", cert});
    ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0);
    const std::string path = (dir.path() + "/course.sqlite").toStdString();
    CourseStore store(path);
    Accounts accounts(path);
    store.seedDemo();
    ServerOptions options;
    options.tlsCert = cert.toStdString();
    options.tlsKey = key.toStdString();
    CourseServer server(store, accounts, options);
    const int port = server.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread serving([&server] { server.run(); });
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);

    // Whether a TLS 1.2 client offering only `cipher` completes a handshake.
    auto agrees = [&](const QString& cipher) {
        QProcess client;
        client.start("openssl", {"s_client", "-connect", address, "-tls1_2", "-cipher", cipher});
        client.closeWriteChannel();
        client.waitForFinished(20000);
        return client.exitCode() == 0;
    };
    const struct {
        const char* cipher;
        bool agreed;
    } cases[] = {
        {"ECDHE-RSA-AES128-GCM-SHA256", true}, {"ECDHE-RSA-CHACHA20-POLY1305", true}, {"AES128-SHA", false},
        {"AES256-GCM-SHA384", false},          {"ECDHE-RSA-AES128-SHA", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(agrees(c.cipher), c.agreed) << c.cipher;

    QProcess curl;
    curl.start("curl", {"-sk", "-D", "-", "-o", "/dev/null", QStringLiteral("https://%1/login").arg(address)});
    curl.waitForFinished(20000);
    const QString head = QString::fromUtf8(curl.readAllStandardOutput());
    server.stop();
    serving.join();
    EXPECT_TRUE(head.contains("strict-transport-security: max-age=31536000", Qt::CaseInsensitive))
        << head.toStdString();
}

}
