#pragma once

#include "document/JournalFile.h"

#include <QObject>
#include <QTimer>

#include <functional>

// Keeps a run's journal up to date without ever making typing wait: a change only marks it
// dirty; the journal is written from the event loop soon after (never later than a second
// after the last change), or at once when flush() is called (focus lost, window minimised,
// a transfer about to start). Writes nothing before start(), so a journal left by an
// earlier run stays as it was until the person has answered for it.
class JournalKeeper : public QObject {
    Q_OBJECT
public:
    // `file` names the journal as of now (the lecture key can change with a save);
    // `snapshot` gives the bytes to keep.
    JournalKeeper(std::function<JournalFile()> file, std::function<QByteArray()> snapshot, QObject* parent = nullptr);

    static constexpr int kDelayMs = 500;

    void start();
    bool started() const { return started_; }
    // The typing path: no disk, no snapshot.
    void markDirty();
    bool dirty() const { return dirty_; }
    // Writes now when there is something unwritten. A failure is reported by writeFailed,
    // once until a write succeeds again.
    void flush();
    // The work is safe on the server: the journal goes.
    void saved();
    // The person gave the work up: the journal is renamed, not deleted.
    void setAside();
    JournalFile file() const { return file_(); }

    // The start of a run, once its work is loaded: a journal whose work differs from it
    // (`differs` reads the bytes and raises when they cannot be read) is offered through
    // `ask`; yes gives it to `restore`, no sets it aside. Starts the keeper in every case.
    // Returns the message for a journal that could not be read (and was set aside), else
    // an empty text; such a journal never stops the start.
    struct Offer {
        std::function<bool(const QByteArray&)> differs;
        std::function<bool()> ask;
        std::function<void(const QByteArray&)> restore;
    };
    QString offer(const Offer& offer);

signals:
    void writeFailed(const QString& message);

private:
    std::function<JournalFile()> file_;
    std::function<QByteArray()> snapshot_;
    QTimer timer_;
    QString written_;  // the path last written, to follow a changed lecture key
    bool started_ = false;
    bool dirty_ = false;
    bool failing_ = false;
};
