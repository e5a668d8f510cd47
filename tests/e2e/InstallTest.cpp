#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

const char* kLaunchType = "application/x-dozoruderado-launch";

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The keys of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString& text)
{
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(u'['))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(u'=') && !line.startsWith(u'#'))
            keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
    }
    return keys;
}

// Runs `cmake --install` of this build into a staging folder (DESTDIR), prefix /usr.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        stage = new QTemporaryDir;
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), stage->path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(DZ_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(DZ_BUILD_ROOT), QStringLiteral("--prefix"),
                       QStringLiteral("/usr"), QStringLiteral("--component"), QStringLiteral("client")});
        install.waitForFinished(120000);
        installLog = new QString(QString::fromUtf8(install.readAll()));
        installed = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }
    static void TearDownTestSuite()
    {
        delete stage;
        delete installLog;
    }

    void SetUp() override { ASSERT_TRUE(installed) << installLog->toStdString(); }

    static QString usr(const QString& relative) { return stage->path() + "/usr/" + relative; }

    static inline QTemporaryDir* stage = nullptr;
    static inline QString* installLog = nullptr;
    static inline bool installed = false;
};

TEST_F(InstallTest, WritesTheClientDesktopEntryIconAndMimeType)
{
    const QFileInfo client(usr("bin/dozoruderado"));
    EXPECT_TRUE(client.isFile() && client.isExecutable());
    EXPECT_TRUE(readText(usr("share/icons/hicolor/scalable/apps/dozoruderado.svg")).contains("<svg"));

    const auto entry = desktopEntry(readText(usr("share/applications/dozoruderado.desktop")));
    EXPECT_EQ(entry.value("Type"), "Application");
    EXPECT_EQ(entry.value("Icon"), "dozoruderado");
    EXPECT_TRUE(entry.value("MimeType").split(u';').contains(kLaunchType)) << entry.value("MimeType").toStdString();
    // The program is only ever started with a launch file, so it stays out of the menus.
    EXPECT_EQ(entry.value("NoDisplay"), "true");

    // The package XML is what the shared MIME database compiles: *.dzl must map to our type.
    const QString mime = usr("share/mime");
    ASSERT_TRUE(QFileInfo::exists(mime + "/packages/dozoruderado-launch.xml"));
    QProcess update;
    update.setProcessChannelMode(QProcess::MergedChannels);
    update.start(QStringLiteral("update-mime-database"), {mime});
    ASSERT_TRUE(update.waitForFinished(60000)) << "update-mime-database did not run";
    ASSERT_EQ(update.exitCode(), 0) << update.readAll().toStdString();
    EXPECT_TRUE(readText(mime + "/globs2").contains(QStringLiteral("%1:*.dzl").arg(kLaunchType)));
    EXPECT_TRUE(readText(mime + "/icons").contains(QStringLiteral("%1:dozoruderado").arg(kLaunchType)));
}

// The desktop entry's command line, with %f replaced by a launch file, starts the installed
// client on that file: the client fetches the essay address written in it, which only a
// client that read this very file can know.
TEST_F(InstallTest, DesktopEntryCommandOpensTheGivenLaunchFile)
{
    const auto entry = desktopEntry(readText(usr("share/applications/dozoruderado.desktop")));
    QStringList command = entry.value("Exec").split(u' ', Qt::SkipEmptyParts);
    ASSERT_EQ(command.count(QStringLiteral("%f")), 1) << entry.value("Exec").toStdString();

    QTcpServer essayServer;
    ASSERT_TRUE(essayServer.listen(QHostAddress::LocalHost));
    const QString nonce = QUuid::createUuid().toString(QUuid::Id128);
    const QByteArray essayPath = "/essay/" + nonce.toLatin1();

    QTemporaryDir home;
    // Downloaded files often carry blanks in their names: the path must stay one argument.
    const QString launchPath = home.path() + "/S001-DEMO0001 (1).dzl";
    QFile launch(launchPath);
    ASSERT_TRUE(launch.open(QIODevice::WriteOnly));
    const QByteArrayList fields{
        "S001", "S1001",         "token",
        "1",    "DEMO0001",      "http://127.0.0.1:" + QByteArray::number(essayServer.serverPort()) + essayPath,
        "1",    "install check", "0",
        "0"};
    launch.write(fields.join('\x03'));
    launch.close();

    command.replace(command.indexOf(QStringLiteral("%f")), launchPath);
    const QString program = command.takeFirst();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    env.insert(QStringLiteral("HOME"), home.path());
    QProcess client;
    client.setProcessEnvironment(env);
    client.setProcessChannelMode(QProcess::MergedChannels);
    ASSERT_FALSE(QFileInfo(program).isAbsolute()) << "Exec names the program through PATH";
    client.setProgram(QStandardPaths::findExecutable(program, {usr("bin")}));
    client.setArguments(command);
    client.start();
    ASSERT_TRUE(client.waitForStarted(10000)) << client.errorString().toStdString();

    QByteArray request;
    if (essayServer.waitForNewConnection(60000)) {
        QTcpSocket* socket = essayServer.nextPendingConnection();
        while (!request.contains("\r\n") && socket->waitForReadyRead(10000))
            request += socket->readAll();
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->waitForBytesWritten(5000);
    }
    client.kill();
    client.waitForFinished(10000);
    EXPECT_TRUE(request.startsWith("GET " + essayPath + " HTTP/1.1"))
        << "request: " << request.left(200).toStdString() << "\nclient output: " << client.readAll().toStdString();
}

}
