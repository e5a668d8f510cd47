// `course-server user add` as an operator runs it.
#include "TestStore.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(UserAdd, NumbersAreLettersAndDigitsOnly)
{
    QTemporaryDir dir;
    const QString store = QString::fromStdString(TestStoreLocation(dir.path()));
    auto add = [&](const QString& role, const QString& number, const QStringList& extra = {}) {
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(DZ_COURSE_SERVER, QStringList{"user", "add", role, number, "이름", "--store", store} + extra);
        server.write("password1\n");
        server.closeWriteChannel();
        server.waitForFinished(30000);
        return std::make_pair(server.exitCode(), QString::fromUtf8(server.readAll()));
    };
    ASSERT_EQ(add("teacher", "T2001").first, 0);
    const struct {
        const char* number;
        bool added;
    } cases[] = {
        {"S2001", true},   {"s2002b", true},   {"S'2003", false},
        {"S 2004", false}, {"S\"2005", false}, {"학생1", false},
        {"S2006/", false}, {"", false},        {"S20070000000000000000", false},
    };
    for (const auto& c : cases) {
        const auto [code, output] = add("student", QString::fromUtf8(c.number), {"--teacher", "T2001"});
        EXPECT_EQ(code == 0, c.added) << c.number << ": " << output.toStdString();
        if (!c.added) {
            EXPECT_TRUE(output.contains("letters and digits")) << output.toStdString();
        }
    }
    EXPECT_NE(add("student", "S2001", {"--teacher", "T2001"}).first, 0) << "a number taken twice";
}

}
