#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// The built course-server with the demo course, as a student's course site: its data
// folder and its port outlive stop(), so start() brings back the same server.
class CourseServerRun {
public:
    CourseServerRun();
    ~CourseServerRun();

    // Raises std::runtime_error with the server's output when it does not come up.
    void start();
    void stop();

    QString url() const { return url_; }
    QString dataDir() const { return dir_.path(); }

    // GET of an address of the server; nothing for an answer other than 200.
    std::optional<QByteArray> get(const QString& path) const;
    // Posts JPEG files to the course page's scanned-essay form; returns the HTTP status.
    int uploadScannedPages(const QString& lectureKey, const QList<QByteArray>& pages) const;

    // From the server's own database.
    struct Stored {
        QByteArray record;
        qint64 revision = 0;
    };
    std::optional<Stored> essay(const QString& lectureKey) const;
    int lectureCount() const;

private:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    QString url_;
};
