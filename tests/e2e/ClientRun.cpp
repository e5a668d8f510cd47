#include "ClientRun.h"

#include "shell/Startup.h"

#include <QApplication>
#include <QFile>
#include <QTest>

void ClientRun::SetUp()
{
    server.start();
    QFile ini(config.filePath(QStringLiteral("dozoruderado.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[CONFIG]\r\nURL=" + server.url().toLatin1().toBase64() + "\r\n");
}

void ClientRun::startClient(const QString& launchAddress)
{
    window.reset();
    const std::optional<QByteArray> launch = server.get(launchAddress);
    ASSERT_TRUE(launch) << launchAddress.toStdString();
    const QString path = config.filePath(QStringLiteral("run%1.dzl").arg(++runs));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*launch);
    file.close();
    window = StartClient({QStringLiteral("dozoruderado"), path}, config.path());
    ASSERT_TRUE(window);
}

void ClientRun::showClient(const QString& launchAddress)
{
    ASSERT_NO_FATAL_FAILURE(startClient(launchAddress));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QApplication::processEvents();
}
