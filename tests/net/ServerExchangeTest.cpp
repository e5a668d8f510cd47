#include "core/AppError.h"
#include "core/Endpoint.h"
#include "net/ReplyText.h"
#include "net/TfrmProBar.h"
#include "net/Transport.h"
#include "server/CourseServer.h"
#include "support/CourseServerProcess.h"
#include "text/Cp949.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
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

QByteArray everyByte(int repeat)
{
    QByteArray bytes;
    for (int r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b)
            bytes += char(b);
    return bytes;
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

    const QByteArray record = everyByte(40);
    const ReplyText reply = SplitReply(PostForm(essayForm(student[2], student[4], record)));
    EXPECT_TRUE(reply.accepted()) << reply.message.toStdString();
    EXPECT_EQ(reply.message, "저장되었습니다.");
    EXPECT_EQ(reply.value, Demo::kLectureKey);

    const QStringList again = launchFields(server->launchUrl("S001", Demo::kLectureKey));
    EXPECT_EQ(again[3], "1");
    EXPECT_EQ(again[5], server->url() + "/essay/" + Demo::kLectureKey);
    QBuffer essay;
    DownloadToStream(again[5], essay);
    EXPECT_EQ(essay.pos(), 0);
    EXPECT_EQ(essay.data(), record);

    const QStringList teacher = launchFields(server->launchUrl("T001", Demo::kLectureKey));
    ASSERT_EQ(teacher.size(), 13);
    EXPECT_EQ(teacher[6], again[5]);
}

TEST_F(ServerExchangeTest, NewEssayGetsItsLectureKeyFromTheReply)
{
    const ReplyText reply = SplitReply(PostForm(essayForm(Demo::kStudentPassword, "", "record")));
    ASSERT_TRUE(reply.accepted()) << reply.message.toStdString();
    ASSERT_FALSE(reply.value.isEmpty());
    QBuffer essay;
    DownloadToStream(server->url() + "/essay/" + reply.value, essay);
    EXPECT_EQ(essay.data(), "record");
}

TEST_F(ServerExchangeTest, RefusalComesBackAsReplyText)
{
    const ReplyText reply = SplitReply(PostForm(essayForm("wrong", Demo::kLectureKey, "x")));
    EXPECT_EQ(reply.status, "401");
    EXPECT_EQ(reply.message, "학생 번호나 비밀번호가 맞지 않습니다.");
}

TEST_F(ServerExchangeTest, MissingRecordIsAnError)
{
    try {
        QBuffer stream;
        DownloadToStream(server->url() + "/correction/NOSUCHKEY", stream);
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
    QNetworkReply* page = fetch(server->url() + "/");
    const QString html = QString::fromUtf8(page->readAll());
    for (const char* mode : {"S001", "T001", "C001"})
        EXPECT_TRUE(html.contains(QStringLiteral("/launch/%1/%2.dzl").arg(mode, Demo::kLectureKey))) << mode;

    QNetworkReply* launch = fetch(server->launchUrl("C001", Demo::kLectureKey));
    EXPECT_EQ(launch->header(QNetworkRequest::ContentTypeHeader).toString(), "application/x-dozoruderado-launch");
    EXPECT_EQ(launch->rawHeader("Content-Disposition"),
              QByteArray("attachment; filename=\"C001-") + Demo::kLectureKey + ".dzl\"");
    EXPECT_TRUE(launch->readAll().startsWith("C001\x03" + QByteArray(Demo::kTeacherNo)));
}

TEST(ServerLimits, OversizedFormIsRefusedWithTheServersWords)
{
    QTemporaryDir dir;
    CourseStore store((dir.path() + "/course.sqlite").toStdString());
    store.seedDemo();
    CourseServer server(store, 4096);
    const int port = server.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread serving([&server] { server.run(); });
    SetServerUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));

    QString message;
    try {
        PostForm(essayForm(Demo::kStudentPassword, Demo::kLectureKey, QByteArray(10000, 'x')));
    } catch (const AppError& error) {
        message = error.message();
    }
    server.stop();
    serving.join();
    EXPECT_TRUE(message.contains("너무 커서")) << message.toStdString();
    EXPECT_FALSE(store.essay(Demo::kLectureKey));
}

}
