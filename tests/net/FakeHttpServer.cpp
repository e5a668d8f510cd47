#include "FakeHttpServer.h"

#include <QTcpSocket>

FakeHttpServer::FakeHttpServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            serve(socket);
    });
}

QString FakeHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void FakeHttpServer::serve(QTcpSocket* socket)
{
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const qsizetype length = headerOf(*buffer, "Content-Length").toLongLong();
        if (buffer->size() < headerEnd + 4 + length)
            return;
        lastRequest = *buffer;
        ++requestCount;
        const QByteArray answer = respond ? respond(lastRequest) : QByteArray();
        if (answer == hangUp())
            socket->abort();
        if (answer.isEmpty() || answer == hangUp())
            return;
        socket->write(answer);
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

QByteArray FakeHttpServer::response(int status, const QByteArray& reason, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
           + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray FakeHttpServer::bodyOf(const QByteArray& request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

QByteArray FakeHttpServer::headerOf(const QByteArray& request, const QByteArray& name)
{
    const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}
