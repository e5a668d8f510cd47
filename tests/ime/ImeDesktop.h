#pragma once

#include <QPoint>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class QProcess;

// A desktop of its own for one test: an X server, a session bus and a Korean input method
// in Hangul mode, with a temporary home. Every daemon runs in a process group of its own,
// killed when the desktop goes (and by the kernel when the test process dies). Keys and
// clicks reach the application through the X server's XTest extension, as a person's do.
//
//     ImeDesktop desktop(ImeDesktop::Ibus, {});
//     desktop.exportToThisProcess();  // before the QApplication is made
//     desktop.keys(QStringLiteral("g k s"));
class ImeDesktop {
public:
    enum Method { Ibus, Fcitx };
    struct Options {
        // ibus-hangul's preedit-mode: "syllable", "word" or "none".
        QString ibusPreeditMode = QStringLiteral("syllable");
        // Composes a whole word: ibus-hangul's word pre-edit, fcitx5-hangul's WordCommit.
        bool words = false;
    };

    // Why the method cannot run on this machine; empty when it can.
    static QString missing(Method method);
    static const char* name(Method method) { return method == Ibus ? "ibus" : "fcitx"; }

    // Returns once the input method answers with its Hangul engine set; raises
    // std::runtime_error with the daemons' output when a step misses its deadline.
    ImeDesktop(Method method, const Options& options);
    ~ImeDesktop();

    // The variables the application needs to reach this desktop: display, bus, homes,
    // QT_QPA_PLATFORM=xcb and QT_IM_MODULE. Set before the QApplication exists.
    void exportToThisProcess() const;

    // Waits (processing events) until the input method reports Hangul for the focused
    // input context; fcitx5 knows one only once the application has focus.
    void waitForHangulFocus() const;

    // xdotool key names separated by spaces ("g k s Left F9 1"), pressed and released one
    // after another while the application processes its events.
    void keys(const QString& names) const;
    // A left click at a global position.
    void click(QPoint global) const;

private:
    struct Daemon;
    // Whether the test reads the daemon's standard output or it goes to the daemon's log.
    enum class Output { Read, Log };

    void writeSettings(const Options& options) const;
    Daemon& launch(const QString& program, const QStringList& arguments, Output output);
    QString readLine(Daemon& daemon, const QString& what);
    void startIbus();
    void startFcitx();
    // Runs a tool of the desktop to its end while the application processes events: its exit
    // code, or -1 when it crashed or did not end within a few seconds.
    int tool(const QString& program, const QStringList& arguments, QString* output = nullptr) const;
    [[noreturn]] void fail(const QString& what) const;

    Method method_;
    QTemporaryDir home_;
    QProcessEnvironment environment_;
    std::vector<std::unique_ptr<Daemon>> daemons_;
};
