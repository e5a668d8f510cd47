#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

// Receives further launch files while the client runs: a local socket private to the user,
// named after the process id. A message is a launch-file path in code page 949 bytes, up to
// the first NUL or the end of what the sender wrote before it closed the connection. One that
// arrives during a server transfer waits until the transfer ends.
class HandOver : public QObject {
    Q_OBJECT
public:
    // Longer messages are dropped: no path is that long.
    static constexpr qint64 kMaxMessage = 64 * 1024;

    explicit HandOver(QObject* parent = nullptr);

    // Where the client of process pid listens.
    static QString socketPath(qint64 pid);
    QString path() const { return server_.fullServerName(); }

signals:
    void launchFileArrived(const QString& path);

private:
    void accept();
    void deliver(const QString& path);
    void deliverWaiting();

    QLocalServer server_;
    QStringList waiting_;
};
