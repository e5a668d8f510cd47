#include "ShellFixture.h"
#include "core/TransferGate.h"
#include "shell/HandOver.h"
#include "support/RecordingDialogs.h"
#include "text/Cp949.h"
#include "writing/TfmeEditor.h"

#include <QLocalSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void send(const QString& socketPath, const QByteArray& message)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    ASSERT_TRUE(socket.waitForConnected(2000)) << socket.errorString().toStdString();
    socket.write(message);
    socket.flush();
    socket.disconnectFromServer();
}
}

TEST(HandOver, LaunchFilePathOpensANewFrameInFront)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("first.dzl", TeacherFields()));
    ASSERT_NE(window->handOver(), nullptr);
    EXPECT_EQ(window->handOver()->path(), HandOver::socketPath(QCoreApplication::applicationPid()));

    const QString second = fixture.launchFile("학생.dzl", StudentFields());
    send(window->handOver()->path(), Cp949::encode(second) + QByteArray("\0junk", 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->FEditor != nullptr; }, 3000));
    EXPECT_EQ(window->size(), QSize(818, 628));
    EXPECT_NE(window->FTeacher, nullptr) << "the earlier frame stays behind";
    EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Information), QStringList{"답안지가 없습니다."})
        << "the teacher file carries no essay address";
    EXPECT_TRUE(dialogs->texts(RecordingDialogs::Kind::Error).isEmpty());
}

TEST(HandOver, ArrivingDuringATransferWaitsUntilItEnds)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("first.dzl", {"X"}));
    const QString student = fixture.launchFile("s.dzl", StudentFields());
    {
        TransferGate::Pass transfer;
        send(window->handOver()->path(), Cp949::encode(student));
        QTest::qWait(300);
        EXPECT_EQ(window->FEditor, nullptr) << "must not disturb the transfer in progress";
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->FEditor != nullptr; }, 3000));
}

TEST(HandOver, MissingFileIsReportedLikeAtStart)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("first.dzl", {"X"}));
    send(window->handOver()->path(), "/nonexistent/a.dzl");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs->boxes.isEmpty(); }, 3000));
    EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Information),
              QStringList{"/nonexistent/a.dzl 을 찾을 수 없습니다."});
}
