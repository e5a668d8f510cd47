#include "ShellFixture.h"
#include "core/Endpoint.h"
#include "core/LaunchFields.h"
#include "shell/Configuration.h"
#include "shell/ServerMismatch.h"
#include "support/RecordingDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList withField(QStringList fields, int index, const QString& value)
{
    fields[index] = value;
    return fields;
}

}

TEST(ServerMismatch, ComparesSchemeHostAndPortOfEveryAddress)
{
    const QString server = QStringLiteral("http://course.test:8765");
    const struct {
        const char* name;
        QStringList fields;
        bool warns;
    } cases[] = {
        {"student, same server", withField(StudentFields(), 5, "http://course.test:8765/essay/K?t=1"), false},
        {"host in capitals is the same host", withField(StudentFields(), 5, "http://COURSE.test:8765/essay/K"), false},
        {"another port", withField(StudentFields(), 5, "http://course.test:9000/essay/K"), true},
        {"another host", withField(StudentFields(), 5, "http://other.test:8765/essay/K"), true},
        {"another scheme", withField(StudentFields(), 5, "https://course.test:8765/essay/K"), true},
        {"discussion address counts", StudentFields() << "http://other.test/discussion/K", true},
        {"no addresses", StudentFields(), false},
        {"teacher's correction address", withField(TeacherFields(), 7, "http://other.test:8765/correction/K"), true},
        {"viewer's essay address", withField(ViewFields(), 5, "http://other.test:8765/essay/K"), true},
        {"fields missing: the set-up reports it", {"T001", "te01"}, false},
        {"unknown mode", {"X001", "http://other.test/"}, false},
    };
    for (const auto& c : cases) {
        const QString notice = ServerMismatch(LaunchFields(c.fields), server);
        EXPECT_EQ(!notice.isEmpty(), c.warns) << c.name << ": " << notice.toStdString();
        if (c.warns)
            EXPECT_TRUE(notice.contains(server)) << c.name;
    }
    // The default ports are the scheme's.
    EXPECT_TRUE(ServerMismatch(LaunchFields(withField(StudentFields(), 5, "https://a.test:443/essay/K")),
                               QStringLiteral("https://a.test"))
                    .isEmpty());
}

TEST(ServerMismatch, StartSaysSoBeforeTheRunLoadsAnything)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    fixture.write("dozoruderado.ini", "[CONFIG]\r\nURL=" + QByteArray("http://127.0.0.1:1").toBase64() + "\r\n");
    const auto window = fixture.start(
        fixture.launchFile("s.dzl", withField(StudentFields(), 5, QStringLiteral("http://127.0.0.2:1/essay/K"))));
    const QStringList notices = dialogs->texts(RecordingDialogs::Kind::Information);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("http://127.0.0.2:1"))) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains(QStringLiteral("http://127.0.0.1:1"))) << notices[0].toStdString();
    EXPECT_NE(window->FEditor, nullptr) << "the run goes on";
}

TEST(Configuration, ReadBesideTheProgramElseFromTheSystemFolder)
{
    QTemporaryDir program;
    QTemporaryDir system;
    const QString beside = QDir(program.path()).filePath(QStringLiteral("dozoruderado.ini"));
    const QString installed = QDir(system.path()).filePath(QStringLiteral("dozoruderado.ini"));
    EXPECT_EQ(ConfigurationPath(program.path(), system.path()), installed) << "none beside: the installed one";
    QFile(beside).open(QIODevice::WriteOnly);
    EXPECT_EQ(ConfigurationPath(program.path(), system.path()), beside) << "one beside wins";
    EXPECT_EQ(ConfigurationPath(QStringLiteral("/nonexistent")), QStringLiteral("/etc/dozoruderado/dozoruderado.ini"));
}
