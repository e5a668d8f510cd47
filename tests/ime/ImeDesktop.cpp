#include "ImeDesktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <stdexcept>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kStartMs = 15000;
constexpr int kToolMs = 10000;
constexpr int kEngineMs = 40000;

const char* const kIbusPlugin = "libibusplatforminputcontextplugin.so";
const char* const kFcitxPlugin = "libfcitx5platforminputcontextplugin.so";

QString inputContextPlugin(const char* file)
{
    return QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforminputcontexts/")
           + QLatin1String(file);
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}

// Ends the daemon's whole process group: engines it started stay in it after it ended.
struct ImeDesktop::Daemon {
    ~Daemon()
    {
        const qint64 group = process.processId();
        if (group <= 0)
            return;
        ::kill(pid_t(-group), SIGTERM);
        process.waitForFinished(2000);
        ::kill(pid_t(-group), SIGKILL);
        process.waitForFinished(2000);
    }

    QProcess process;
    QString log;
};

QString ImeDesktop::missing(Method method)
{
    QStringList programs{QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("xdotool")};
    if (method == Ibus)
        programs << QStringLiteral("ibus-daemon") << QStringLiteral("ibus");
    else
        programs << QStringLiteral("fcitx5") << QStringLiteral("fcitx5-remote");
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            return program + QStringLiteral(" is not installed (scripts/packages.txt lists its package)");
    const QString plugin = inputContextPlugin(method == Ibus ? kIbusPlugin : kFcitxPlugin);
    if (!QFileInfo::exists(plugin))
        return QStringLiteral("Qt's input method module %1 is missing").arg(plugin);
    return {};
}

ImeDesktop::ImeDesktop(Method method, const Options& options) : method_(method)
{
    if (!home_.isValid())
        throw std::runtime_error("no temporary folder for the desktop's home");
    const QString home = home_.path();
    for (const char* dir : {"home", "config", "data", "cache", "runtime"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(dir));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("HOME"), home + QStringLiteral("/home"));
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    // ibus-hangul reads its settings through GSettings; the keyfile backend keeps them here.
    environment_.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    environment_.remove(QStringLiteral("IBUS_ADDRESS"));
    writeSettings(options);

    Daemon& x =
        launch(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")},
               Output::Read);
    environment_.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + readLine(x, QStringLiteral("Xvfb's display")));
    Daemon& bus = launch(QStringLiteral("dbus-daemon"),
                         {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
                         Output::Read);
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), readLine(bus, QStringLiteral("the bus address")));
    if (method == Ibus)
        startIbus();
    else
        startFcitx();
}

ImeDesktop::~ImeDesktop()
{
    // The input method first, the X server last: each leans on those started before it.
    while (!daemons_.empty())
        daemons_.pop_back();
}

void ImeDesktop::writeSettings(const Options& options) const
{
    const QString config = environment_.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (method_ == Ibus) {
        const QString preedit = options.words ? QStringLiteral("word") : options.ibusPreeditMode;
        writeFile(config + QStringLiteral("/glib-2.0/settings/keyfile"), "[org/freedesktop/ibus/engine/hangul]\n"
                                                                         "initial-input-mode='hangul'\n"
                                                                         "preedit-mode='"
                                                                             + preedit.toUtf8() + "'\n");
        return;
    }
    writeFile(config + QStringLiteral("/fcitx5/profile"), "[Groups/0]\n"
                                                          "Name=Default\n"
                                                          "Default Layout=us\n"
                                                          "DefaultIM=hangul\n"
                                                          "\n"
                                                          "[Groups/0/Items/0]\n"
                                                          "Name=keyboard-us\n"
                                                          "Layout=\n"
                                                          "\n"
                                                          "[Groups/0/Items/1]\n"
                                                          "Name=hangul\n"
                                                          "Layout=\n"
                                                          "\n"
                                                          "[GroupOrder]\n"
                                                          "0=Default\n");
    writeFile(config + QStringLiteral("/fcitx5/config"), "[Behavior]\n"
                                                         "ActiveByDefault=True\n");
    writeFile(config + QStringLiteral("/fcitx5/conf/hangul.conf"),
              options.words ? "WordCommit=True\n" : "WordCommit=False\n");
}

ImeDesktop::Daemon& ImeDesktop::launch(const QString& program, const QStringList& arguments, Output output)
{
    auto daemon = std::make_unique<Daemon>();
    daemon->log = home_.filePath(QFileInfo(program).fileName() + QStringLiteral(".log"));
    QProcess& process = daemon->process;
    process.setProcessEnvironment(environment_);
    if (output == Output::Read) {
        process.setStandardErrorFile(daemon->log);
    } else {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(daemon->log);
    }
    process.setChildProcessModifier([] {
        // A group of its own for the daemon and what it starts; gone with the test process.
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start(program, arguments);
    daemons_.push_back(std::move(daemon));
    if (!process.waitForStarted(kStartMs))
        fail(program + QStringLiteral(" did not start: ") + process.errorString());
    return *daemons_.back();
}

QString ImeDesktop::readLine(Daemon& daemon, const QString& what)
{
    QProcess& process = daemon.process;
    const QDeadlineTimer deadline(kStartMs);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() == QProcess::Running)
        process.waitForReadyRead(int(deadline.remainingTime()));
    if (!process.canReadLine())
        fail(QStringLiteral("no %1 within %2 s").arg(what).arg(kStartMs / 1000));
    return QString::fromUtf8(process.readLine()).trimmed();
}

void ImeDesktop::startIbus()
{
    // No panel and no emoji window: nothing but the daemon, its config component and the
    // engine, which reads its GSettings itself. Qt finds the daemon through its socket file
    // under XDG_CONFIG_HOME/ibus/bus. (Leaving out the config component hangs the engine.)
    launch(
        QStringLiteral("ibus-daemon"),
        {QStringLiteral("--panel=disable"), QStringLiteral("--emoji-extension=disable"), QStringLiteral("--verbose")},
        Output::Log);
    // Without a panel nothing applies preload-engines: the global engine is set by hand,
    // and the command fails until the daemon answers.
    const QDeadlineTimer deadline(kEngineMs);
    QString engine;
    while (!deadline.hasExpired()) {
        if (tool(QStringLiteral("ibus"), {QStringLiteral("engine"), QStringLiteral("hangul")}) == 0
            && tool(QStringLiteral("ibus"), {QStringLiteral("engine")}, &engine) == 0 && engine == "hangul")
            return;
        QThread::msleep(50);
    }
    fail(QStringLiteral("ibus-daemon did not take the hangul engine (last answer \"%1\")").arg(engine));
}

void ImeDesktop::startFcitx()
{
    // Only what a Qt client over DBus needs: no panel, no XIM or other front ends.
    launch(QStringLiteral("fcitx5"),
           {QStringLiteral("--disable=wayland,waylandim,classicui,kimpanel,notificationitem,xim,ibusfrontend,"
                           "fcitx4frontend,clipboard,emoji,spell,quickphrase,unicode,imselector,notifications"),
            QStringLiteral("--verbose=default=4")},
           Output::Log);
    // fcitx5-remote fails until the daemon owns its bus name.
    const QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (tool(QStringLiteral("fcitx5-remote"), {}) == 0)
            return;
        QThread::msleep(50);
    }
    fail(QStringLiteral("fcitx5 did not answer on the session bus"));
}

void ImeDesktop::exportToThisProcess() const
{
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "DISPLAY",
                             "DBUS_SESSION_BUS_ADDRESS"})
        qputenv(name, environment_.value(QLatin1String(name)).toLocal8Bit());
    qunsetenv("IBUS_ADDRESS");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_IM_MODULE", name(method_));
}

void ImeDesktop::waitForHangulFocus() const
{
    const QDeadlineTimer deadline(kStartMs);
    QString current;
    while (!deadline.hasExpired()) {
        if (method_ == Ibus)
            tool(QStringLiteral("ibus"), {QStringLiteral("engine")}, &current);
        else
            tool(QStringLiteral("fcitx5-remote"), {QStringLiteral("-n")}, &current);
        if (current == "hangul")
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    fail(QStringLiteral("the focused input context is not in hangul (last answer \"%1\")").arg(current));
}

void ImeDesktop::keys(const QString& names) const
{
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")};
    arguments << names.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tool(QStringLiteral("xdotool"), arguments) != 0)
        fail(QStringLiteral("xdotool could not press %1").arg(names));
}

void ImeDesktop::click(QPoint global) const
{
    if (tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(global.x()),
                                         QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")})
        != 0)
        fail(QStringLiteral("xdotool could not click at %1,%2").arg(global.x()).arg(global.y()));
}

int ImeDesktop::tool(const QString& program, const QStringList& arguments, QString* output) const
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.start(program, arguments);
    const QDeadlineTimer deadline(kToolMs);
    while (!process.waitForFinished(5) && process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // A tool that hangs (ibus does while its engine starts on a loaded machine) is tried again
    // by the caller, as one that failed.
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void ImeDesktop::fail(const QString& what) const
{
    QString message = what;
    for (const auto& daemon : daemons_) {
        QFile log(daemon->log);
        if (log.open(QIODevice::ReadOnly)) {
            const QByteArray text = log.readAll();
            message += QStringLiteral("\n--- %1:\n").arg(QFileInfo(daemon->log).fileName())
                       + QString::fromUtf8(text.right(2000));
        }
    }
    throw std::runtime_error(message.toStdString());
}
