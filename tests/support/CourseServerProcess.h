#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The built course-server, run for a test: a fresh data folder with the demo course,
// a free loopback port chosen at the first start, stopped (SIGTERM) at stop() or
// destruction. Starting again after stop() brings back the same server: same data, same
// port, so launch files and tokens handed out before stay valid.
//
//     CourseServerProcess server;
//     server.start();
//     SetServerUrl(server.url());
class CourseServerProcess {
public:
    // The demo course that start() seeds.
    static constexpr const char* kStudentNo = "S1001";
    static constexpr const char* kStudentPassword = "student1";
    static constexpr const char* kTeacherNo = "T1001";
    static constexpr const char* kTeacherPassword = "teacher1";
    static constexpr const char* kLectureKey = "DEMO0001";

    // `store`: a --store location for the server; empty, SQLite in the data folder.
    // `options`: further options of the server, e.g. {"--trusted-proxy", "127.0.0.1"}.
    explicit CourseServerProcess(QString store = {}, QStringList options = {});
    ~CourseServerProcess();

    // Raises std::runtime_error with the server's output when it does not come up.
    void start();
    // True when the server ended cleanly on SIGTERM (or was not running).
    bool stop();

    // "http://127.0.0.1:PORT", no trailing slash.
    QString url() const { return url_; }
    QString dataDir() const { return dir_ ? dir_->path() : QString(); }
    // A launch file address of the course page, e.g. launchUrl("S001", kLectureKey), signed
    // in (HTTP Basic, in the address) as the demo person of the mode: the teacher for T001,
    // the student otherwise.
    QString launchUrl(const QString& mode, const QString& lectureKey) const;
    // The address with the demo student signed in (HTTP Basic, in the address): the record
    // addresses of the demo student's lectures answer to it.
    static QString asDemoStudent(const QString& address);
    // The running server's process id, 0 when it is not running.
    qint64 pid() const;

private:
    QStringList storeArguments() const;

    QString store_;
    QStringList options_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    QString url_;
};
