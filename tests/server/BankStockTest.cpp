// `course-server bank stock FILE.csv` as an operator runs it.
#include "TestStore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(BankStock, AFileIsLoadedWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString store = QString::fromStdString(TestStoreLocation(dir.path()));
    auto load = [&](const QByteArray& csv) {
        const QString path = dir.filePath("stock.csv");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(csv);
        file.close();
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(DZ_COURSE_SERVER, {"bank", "stock", path, "--store", store});
        server.waitForFinished(30000);
        return std::make_pair(server.exitCode(), QString::fromUtf8(server.readAll()));
    };
    const auto [loaded, said] = load("text,mark,points\r\n띄어 쓰세요,13,-1\r\n좋은 표현입니다,,\r\n");
    EXPECT_EQ(loaded, 0) << said.toStdString();
    EXPECT_TRUE(said.startsWith("2 stock entries")) << said.toStdString();

    // Code page 949 text ("띄어" in it) on line 3: refused, naming the line.
    const auto [refused, why] = load("text,mark,points\r\n새 문구,,\r\n\xb6\xe7\xbe\xee,,\r\n");
    EXPECT_NE(refused, 0);
    EXPECT_TRUE(why.contains("3번째 줄")) << why.toStdString();
}

}
