#pragma once

#include "support/CourseServerProcess.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The course server of an end-to-end run, with what the tests ask of it beyond the
// client's own exchanges. start() after stop() brings back the same server.
class CourseServerRun {
public:
    void start() { server_.start(); }
    void stop() { server_.stop(); }

    QString url() const { return server_.url(); }
    QString dataDir() const { return server_.dataDir(); }

    // GET of an address of the server, signed in (HTTP Basic) as the demo teacher for a
    // correcting launch file and as the demo student otherwise; nothing for an answer other
    // than 200.
    std::optional<QByteArray> get(const QString& path) const;
    // Posts JPEG files to the course page's scanned-essay form as the demo student; returns
    // the HTTP status.
    int uploadScannedPages(const QString& lectureKey, const QList<QByteArray>& pages) const;

    // From the server's own database.
    struct Stored {
        QByteArray record;
        qint64 revision = 0;
    };
    std::optional<Stored> essay(const QString& lectureKey) const;
    std::optional<Stored> correction(const QString& lectureKey) const;
    int lectureCount() const;
    // A further lecture of the demo student, its essay stored as the client would save it.
    void addLecture(const QString& lectureKey, const QString& title, const QByteArray& essayRecord) const;
    // Stores a correction as another window of the teacher would, raising its revision.
    void correctElsewhere(const QString& lectureKey, const QByteArray& record) const;

private:
    CourseServerProcess server_;
};
