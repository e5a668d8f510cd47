#include "shell/HandOver.h"

#include "core/AppError.h"
#include "core/TransferGate.h"
#include "text/Cp949.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

HandOver::HandOver(QObject* parent) : QObject(parent)
{
    const QString where = socketPath(QCoreApplication::applicationPid());
    QLocalServer::removeServer(where);  // left behind by a crashed process with the same id
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(where))
        throw AppError(QStringLiteral("Cannot listen for launch files at %1: %2").arg(where, server_.errorString()));
    connect(&server_, &QLocalServer::newConnection, this, &HandOver::accept);
    // Queued, so a waiting launch file opens from the event loop, not inside the code that
    // just finished its transfer.
    connect(&TransferGate::instance(), &TransferGate::idle, this, &HandOver::deliverWaiting, Qt::QueuedConnection);
}

QString HandOver::socketPath(qint64 pid)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("dozoruderado-%1").arg(pid));
}

void HandOver::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto message = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
            message->append(socket->readAll());
            if (message->size() > kMaxMessage) {
                message->clear();
                socket->abort();
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
            message->append(socket->readAll());
            const qsizetype nul = message->indexOf('\0');
            const QByteArray bytes = nul < 0 ? *message : message->left(nul);
            socket->deleteLater();
            if (!bytes.isEmpty())
                deliver(Cp949::decode(bytes));
        });
    }
}

void HandOver::deliver(const QString& path)
{
    if (TransferGate::instance().busy()) {
        waiting_.append(path);
        return;
    }
    emit launchFileArrived(path);
}

void HandOver::deliverWaiting()
{
    while (!waiting_.isEmpty() && !TransferGate::instance().busy())
        emit launchFileArrived(waiting_.takeFirst());
}
