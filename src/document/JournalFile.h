#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One run's recovery journal on disk: a file only its owner may read (0600) in the user's
// own folder of the application data (0700), named after the mode, the lecture key (or "new") and the person.
// Writes replace the whole file atomically, so a crash leaves the old journal or the new
// one, never half of one. Nothing here deletes a journal the person did not give up.
class JournalFile {
public:
    // No run writes a journal this large: a larger file is not read, only set aside.
    static constexpr qint64 kMaxBytes = qint64(64) << 20;

    JournalFile(const QString& mode, const QString& lectureKey, const QString& person);

    // The folder every journal lives in.
    static QString folder();

    QString path() const { return path_; }
    bool exists() const;
    // The journal's bytes, or nothing when there is none. Raises AppError when it exists
    // but cannot be read, or is over kMaxBytes.
    std::optional<QByteArray> read() const;
    // Raises AppError naming the file and the reason when it cannot be written.
    void write(const QByteArray& bytes) const;
    // After a successful save: the work is on the server.
    void remove() const;
    // Renames the journal beside itself with the time, out of the way of the next run;
    // returns the new path (empty when there was no journal).
    QString setAside() const;

private:
    QString path_;
};
