// The Debian packages scripts/package made (the package_build fixture): their control
// fields, their files, the service's unit and configuration, and lintian's verdict.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct CommandResult {
    int code = -1;
    QString out;
};

CommandResult Command(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(600000))
        return {-1, program + QStringLiteral(" did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString Package(const QString& name)
{
    const QDir packages(QStringLiteral(DZ_BUILD_ROOT "/packages"));
    const QStringList found = packages.entryList({name + QStringLiteral("_*.deb")}, QDir::Files);
    return found.size() == 1 ? packages.filePath(found[0]) : QString();
}

// A control field of the package, empty when it has none.
QString Field(const QString& deb, const QString& field)
{
    return Command(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, field}).out.trimmed();
}

// The names in the package's Depends, without versions.
QStringList Depends(const QString& deb)
{
    QStringList names;
    for (const QString& entry : Field(deb, QStringLiteral("Depends")).split(u','))
        names << entry.trimmed().section(u' ', 0, 0);
    return names;
}

// The package's files: "./usr/bin/x" mapped to its owner and mode.
QMap<QString, QString> Contents(const QString& deb)
{
    QMap<QString, QString> files;
    for (const QString& line : Command(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}).out.split(u'\n')) {
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (columns.size() >= 6)
            files.insert(columns[5], columns[1] + u' ' + columns[0]);
    }
    return files;
}

QString FileIn(const QString& deb, const QString& path)
{
    QProcess tar;
    QProcess unpack;
    unpack.setStandardOutputProcess(&tar);
    unpack.start(QStringLiteral("dpkg-deb"), {QStringLiteral("--fsys-tarfile"), deb});
    tar.start(QStringLiteral("tar"), {QStringLiteral("-xO"), path});
    unpack.waitForFinished();
    tar.waitForFinished();
    return QString::fromUtf8(tar.readAllStandardOutput());
}

class Packages : public ::testing::Test {
protected:
    void SetUp() override
    {
        client = Package(QStringLiteral("dozoruderado"));
        server = Package(QStringLiteral("course-server"));
        ASSERT_FALSE(client.isEmpty()) << "no dozoruderado package: scripts/package did not run";
        ASSERT_FALSE(server.isEmpty()) << "no course-server package: scripts/package did not run";
    }
    QString client;
    QString server;
};

}

TEST_F(Packages, ClientHoldsTheProgramItsDesktopFilesAndLibraryDependencies)
{
    EXPECT_EQ(Field(client, QStringLiteral("Package")), QStringLiteral("dozoruderado"));
    const QStringList depends = Depends(client);
    for (const char* library : {"libqt6widgets6", "libqt6printsupport6", "libqt6network6", "libqt6webenginewidgets6",
                                "libjpeg62-turbo", "libc6", "fonts-nanum", "qt6-translations-l10n"})
        EXPECT_TRUE(depends.contains(QString::fromLatin1(library)))
            << library << " in " << depends.join(u',').toStdString();
    const QMap<QString, QString> files = Contents(client);
    for (const char* path :
         {"./usr/bin/dozoruderado", "./usr/bin/dz_browser.so", "./usr/share/applications/dozoruderado.desktop",
          "./usr/share/icons/hicolor/scalable/apps/dozoruderado.svg",
          "./usr/share/mime/packages/dozoruderado-launch.xml", "./usr/share/man/man1/dozoruderado.1.gz",
          "./usr/share/doc/dozoruderado/copyright"})
        EXPECT_TRUE(files.contains(QString::fromLatin1(path))) << path;
    EXPECT_TRUE(files.value(QStringLiteral("./usr/bin/dozoruderado")).startsWith(u"root/root -rwxr-xr-x"));
    for (auto it = files.begin(); it != files.end(); ++it)
        EXPECT_TRUE(it.value().startsWith(u"root/root")) << it.key().toStdString();

    // The school's configuration survives upgrades, and names the default server until edited.
    EXPECT_EQ(
        Command(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), client, QStringLiteral("conffiles")}).out.trimmed(),
        QStringLiteral("/etc/dozoruderado/dozoruderado.ini"));
    EXPECT_TRUE(files.value(QStringLiteral("./etc/dozoruderado/dozoruderado.ini")).startsWith(u"root/root -rw-r--r--"));
    EXPECT_TRUE(FileIn(client, QStringLiteral("./etc/dozoruderado/dozoruderado.ini"))
                    .contains(QStringLiteral("URL=aHR0cDovLzEyNy4wLjAuMTo4NzY1")));
}

TEST_F(Packages, ServerRunsAsAHardenedServiceWithoutQtGuiLibraries)
{
    const QStringList depends = Depends(server);
    for (const char* library : {"libsqlite3-0", "libpq5", "libsodium23", "adduser"})
        EXPECT_TRUE(depends.contains(QString::fromLatin1(library))) << library;
    for (const QString& name : depends)
        EXPECT_FALSE(name.contains(QRegularExpression(QStringLiteral("^libqt6(gui|widgets|printsupport|webengine)"))))
            << name.toStdString();
    const QMap<QString, QString> files = Contents(server);
    for (const char* path :
         {"./usr/bin/course-server", "./usr/share/man/man8/course-server.8.gz",
          "./lib/systemd/system/course-server.service", "./etc/course-server/course-server.conf",
          "./lib/systemd/system/course-server@.service", "./usr/share/doc/course-server/examples/instance.conf",
          "./usr/share/doc/course-server/copyright"})
        EXPECT_TRUE(files.contains(QString::fromLatin1(path))) << path;
    EXPECT_EQ(
        Command(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), server, QStringLiteral("conffiles")}).out.trimmed(),
        QStringLiteral("/etc/course-server/course-server.conf"));

    const QString unit = FileIn(server, QStringLiteral("./lib/systemd/system/course-server.service"));
    for (const char* line :
         {"User=course-server", "StateDirectory=course-server", "EnvironmentFile=/etc/course-server/course-server.conf",
          "NoNewPrivileges=yes", "PrivateTmp=yes", "ProtectSystem=strict", "ProtectHome=yes",
          "CapabilityBoundingSet=", "ExecStart=/usr/bin/course-server --data /var/lib/course-server"})
        EXPECT_TRUE(unit.contains(QString::fromLatin1(line))) << line;
    // Each instance of the template reads its own configuration, its store among it.
    const QString instance = FileIn(server, QStringLiteral("./lib/systemd/system/course-server@.service"));
    for (const char* line : {"User=course-server", "EnvironmentFile=/etc/course-server/%i.conf",
                             "ExecStart=/usr/bin/course-server --store ${STORE}", "ProtectSystem=strict"})
        EXPECT_TRUE(instance.contains(QString::fromLatin1(line))) << line;
    // Installed, the service waits until the configuration asks for it.
    const QString conf = FileIn(server, QStringLiteral("./etc/course-server/course-server.conf"));
    EXPECT_TRUE(conf.contains(QStringLiteral("\nSTART=no\n")));
    EXPECT_TRUE(conf.contains(QStringLiteral("\nLISTEN=")));
    EXPECT_TRUE(conf.contains(QStringLiteral("\nMAX_BODY=")));
}

TEST_F(Packages, LintianFindsNoError)
{
    for (const QString& deb : {client, server}) {
        const CommandResult lintian =
            Command(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error"), deb});
        EXPECT_EQ(lintian.code, 0) << lintian.out.toStdString();
        EXPECT_FALSE(
            lintian.out.contains(QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)))
            << lintian.out.toStdString();
    }
}
