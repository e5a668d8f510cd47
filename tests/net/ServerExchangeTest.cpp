#include "core/AppError.h"
#include "core/Endpoint.h"
#include "core/TransferSettings.h"
#include "document/EssayRecord.h"
#include "net/ReplyText.h"
#include "net/TfrmProBar.h"
#include "net/Transport.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "support/CourseServerProcess.h"
#include "text/Cp949.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

using Demo = CourseServerProcess;

QStringList launchFields(const QString& address)
{
    QBuffer stream;
    DownloadToStream(address, stream);
    return Cp949::decode(stream.data()).split(QChar(0x03));
}

// An essay record whose page holds every byte value: it must come back unchanged.
QByteArray everyByteRecord(int repeat)
{
    QByteArray bytes;
    for (int r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b)
            bytes += char(b);
    DataSet record(EssayRecord::fields());
    record.append();
    record.setInteger(u"NType", EssayRecord::ScannedPages);
    record.setBytes(u"LImage", bytes);
    record.post();
    return EssayRecord::toPacket(record);
}

// The address with the demo student signed in (HTTP Basic).
QString asStudent(const QString& address)
{
    QUrl url(address);
    url.setUserName(Demo::kStudentNo);
    url.setPassword(Demo::kStudentPassword);
    return url.toString();
}

UploadForm essayForm(const QString& password, const QString& lectureKey, const QByteArray& record)
{
    UploadForm form;
    form.AddTextPart("flag", "S002");
    form.AddTextPart("student_no", Demo::kStudentNo);
    form.AddTextPart("password", password);
    form.AddTextPart("lecturekey", lectureKey);
    form.AddTextPart("submit", "N");
    form.AddTextPart("title", "우리 동네 도서관");
    form.AddDataPart("file", "multipart/form-data", "Editor", record);
    return form;
}

class ServerExchangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new CourseServerProcess;
        server->start();
    }
    static void TearDownTestSuite()
    {
        EXPECT_TRUE(server->stop()) << "course-server did not end cleanly on SIGTERM";
        delete server;
    }
    void SetUp() override { SetServerUrl(server->url()); }

    static CourseServerProcess* server;
};

CourseServerProcess* ServerExchangeTest::server = nullptr;

TEST_F(ServerExchangeTest, SaveWithTheLaunchTokenAndReadItBack)
{
    const QStringList student = launchFields(server->launchUrl("S001", Demo::kLectureKey));
    ASSERT_GE(student.size(), 10);
    ASSERT_EQ(student[0], "S001");
    EXPECT_EQ(student[1], Demo::kStudentNo);
    EXPECT_NE(student[2], Demo::kStudentPassword);

    const QByteArray record = everyByteRecord(40);
    QString saved;
    const ReplyText reply = SplitReply(PostForm(essayForm(student[2], student[4], record), &saved));
    EXPECT_TRUE(reply.accepted()) << reply.message.toStdString();
    EXPECT_EQ(saved, "1") << "the answer names the revision stored";
    EXPECT_EQ(reply.message, "저장되었습니다.");
    EXPECT_EQ(reply.value, Demo::kLectureKey);

    const QStringList again = launchFields(server->launchUrl("S001", Demo::kLectureKey));
    EXPECT_EQ(again[3], "1");
    EXPECT_EQ(again[5], server->url() + "/essay/" + Demo::kLectureKey + "?t=" + again[2]);
    EXPECT_EQ(again[11], "1");
    QBuffer essay;
    QString fetched;
    DownloadToStream(again[5], essay, &fetched);
    EXPECT_EQ(essay.pos(), 0);
    EXPECT_EQ(essay.data(), record);
    EXPECT_EQ(fetched, "1");

    const QStringList teacher = launchFields(server->launchUrl("T001", Demo::kLectureKey));
    ASSERT_EQ(teacher.size(), 14);
    EXPECT_EQ(teacher[13], "0");
    // The correction address is there before any correction; nothing is stored at it yet.
    QBuffer none;
    QString noRevision = QStringLiteral("unset");
    EXPECT_FALSE(DownloadIfStored(teacher[7], none, &noRevision));
    EXPECT_TRUE(none.data().isEmpty());
    EXPECT_EQ(noRevision, QString());
    EXPECT_TRUE(CurrentProgressWindow()->isHidden());
    EXPECT_EQ(teacher[6], server->url() + "/essay/" + Demo::kLectureKey + "?t=" + teacher[2]);
    QBuffer corrected;
    DownloadToStream(teacher[6], corrected);
    EXPECT_EQ(corrected.data(), record);
}

TEST_F(ServerExchangeTest, NewEssayGetsItsLectureKeyFromTheReply)
{
    const QByteArray record = everyByteRecord(1);
    const ReplyText reply = SplitReply(PostForm(essayForm(Demo::kStudentPassword, "", record)));
    ASSERT_TRUE(reply.accepted()) << reply.message.toStdString();
    ASSERT_FALSE(reply.value.isEmpty());
    QBuffer essay;
    DownloadToStream(asStudent(server->url() + "/essay/" + reply.value), essay);
    EXPECT_EQ(essay.data(), record);
}

TEST_F(ServerExchangeTest, RefusalComesBackAsReplyText)
{
    const ReplyText reply = SplitReply(PostForm(essayForm("wrong", Demo::kLectureKey, everyByteRecord(1))));
    EXPECT_EQ(reply.status, "401");
    EXPECT_EQ(reply.message, "학생 번호나 비밀번호가 맞지 않습니다.");
}

TEST_F(ServerExchangeTest, MissingRecordIsAnError)
{
    try {
        QBuffer stream;
        DownloadToStream(asStudent(server->url() + "/correction/NOSUCHKEY"), stream);
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains("HTTP 404")) << error.message().toStdString();
    }
    EXPECT_TRUE(CurrentProgressWindow()->isHidden());
}

TEST_F(ServerExchangeTest, CoursePageHandsOutLaunchFiles)
{
    QNetworkAccessManager manager;
    auto fetch = [&](const QString& address) {
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(address)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply;
    };
    EXPECT_EQ(fetch(server->url() + "/")->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);
    QNetworkReply* page = fetch(asStudent(server->url() + "/"));
    const QString html = QString::fromUtf8(page->readAll());
    // The student's link; correcting is the teacher's, and there is no correction to view yet.
    EXPECT_TRUE(html.contains(QStringLiteral("/launch/S001/%1.dzl").arg(Demo::kLectureKey)));
    EXPECT_FALSE(html.contains(QStringLiteral("/launch/T001/")));
    EXPECT_FALSE(html.contains(QStringLiteral("/launch/C001/")));

    QNetworkReply* launch = fetch(server->launchUrl("C001", Demo::kLectureKey));
    EXPECT_EQ(launch->header(QNetworkRequest::ContentTypeHeader).toString(), "application/x-dozoruderado-launch");
    EXPECT_EQ(launch->rawHeader("Content-Disposition"),
              QByteArray("attachment; filename=\"C001-") + Demo::kLectureKey + ".dzl\"");
    EXPECT_TRUE(launch->readAll().startsWith("C001\x03" + QByteArray(Demo::kTeacherNo)));
}

TEST(ServerLimits, OversizedFormIsRefusedWithTheServersWords)
{
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/course.sqlite").toStdString();
    CourseStore store(path);
    Accounts accounts(store);
    store.seedDemo();
    ServerOptions options;
    options.limits.maxBody = 4096;
    CourseServer server(store, accounts, options);
    const int port = server.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread serving([&server] { server.run(); });
    SetServerUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));

    QString message;
    try {
        PostForm(essayForm(Demo::kStudentPassword, Demo::kLectureKey, everyByteRecord(40)));
    } catch (const AppError& error) {
        message = error.message();
    }
    server.stop();
    serving.join();
    EXPECT_TRUE(message.contains("너무 커서")) << message.toStdString();
    EXPECT_FALSE(store.essay(Demo::kLectureKey));
}

}

namespace {

// The course server speaking HTTPS with a certificate of its own making.
class HttpsCourse : public ::testing::Test {
protected:
    void SetUp() override
    {
        QProcess openssl;
        openssl.start("openssl",
                      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                       "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
        ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0)
            << openssl.readAllStandardError().toStdString();
        store.seedDemo();
        ServerOptions options;
        options.tlsCert = cert.toStdString();
        options.tlsKey = key.toStdString();
        server = std::make_unique<CourseServer>(store, accounts, options);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        serving = std::thread([this] { server->run(); });
    }
    void TearDown() override
    {
        if (serving.joinable()) {
            server->stop();
            serving.join();
        }
    }

    std::string path() const { return (dir.path() + "/course.sqlite").toStdString(); }

    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem");
    const QString key = dir.filePath("key.pem");
    CourseStore store{path()};
    Accounts accounts{store};
    std::unique_ptr<CourseServer> server;
    std::thread serving;
    int port = 0;
};

// Refused by the client until the configuration names the certificate as an authority.
TEST_F(HttpsCourse, CertificateErrorsStayErrorsUntilTheCaFileTrustsIt)
{
    SetServerUrl(QStringLiteral("https://127.0.0.1:%1").arg(port));
    QString refused;
    try {
        PostForm(essayForm(Demo::kStudentPassword, Demo::kLectureKey, everyByteRecord(1)));
    } catch (const AppError& error) {
        refused = error.message();
    }
    TransferSettings trusting;
    trusting.caFile = cert;
    SetTransferSettings(trusting);
    QString reply;
    QStringList launch;
    try {
        reply = PostForm(essayForm(Demo::kStudentPassword, Demo::kLectureKey, everyByteRecord(1)));
        launch = launchFields(asStudent(QStringLiteral("https://127.0.0.1:%1/launch/S001/DEMO0001.dzl").arg(port)));
    } catch (const AppError& error) {
        ADD_FAILURE() << error.message().toStdString();
    }
    SetTransferSettings({});

    EXPECT_TRUE(refused.contains(QStringLiteral("통신하지 못했습니다"))) << refused.toStdString();
    EXPECT_TRUE(SplitReply(reply).accepted()) << reply.toStdString();
    ASSERT_GE(launch.size(), 6);
    EXPECT_TRUE(launch[5].startsWith(QStringLiteral("https://127.0.0.1:%1/essay/DEMO0001?t=").arg(port)))
        << launch[5].toStdString();
}

// Forward secrecy only, and HSTS on every answer.
TEST_F(HttpsCourse, AgreesOnlyToForwardSecretSuitesAndSendsHsts)
{
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
    EXPECT_TRUE(head.contains("strict-transport-security: max-age=31536000", Qt::CaseInsensitive))
        << head.toStdString();
}

}
