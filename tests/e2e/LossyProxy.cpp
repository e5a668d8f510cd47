#include "LossyProxy.h"

#include <QTcpSocket>

LossyProxy::LossyProxy(QString host, quint16 port) : host_(std::move(host)), port_(port)
{
    listener_.listen(QHostAddress::LocalHost);
    connect(&listener_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = listener_.nextPendingConnection())
            pass(client);
    });
}

QString LossyProxy::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(listener_.serverPort());
}

void LossyProxy::pass(QTcpSocket* client)
{
    auto* server = new QTcpSocket(client);
    connect(client, &QTcpSocket::readyRead, server, [client, server] {
        if (server->state() == QAbstractSocket::ConnectedState)
            server->write(client->readAll());
    });
    connect(server, &QTcpSocket::connected, client, [client, server] { server->write(client->readAll()); });
    connect(server, &QTcpSocket::readyRead, client, [this, client, server] {
        if (answersToLose > 0) {
            --answersToLose;
            ++lost;
            server->abort();
            client->abort();
            client->deleteLater();
            return;
        }
        client->write(server->readAll());
    });
    connect(server, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    server->connectToHost(host_, port_);
}
