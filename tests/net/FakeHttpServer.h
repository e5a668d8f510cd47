#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

// A loopback HTTP server living in the test's own thread: the transfer's local event loop
// serves it. It records each whole request and answers with the raw bytes `respond` gives
// (an empty answer: say nothing and keep the connection open; hangUp(): close it unanswered).
class FakeHttpServer : public QObject {
public:
    FakeHttpServer();

    QString url(const QString& path) const;

    std::function<QByteArray(const QByteArray& request)> respond;
    QByteArray lastRequest;
    int requestCount = 0;

    static QByteArray hangUp() { return QByteArrayLiteral("\0hang up"); }

    // A whole HTTP/1.1 response that closes the connection.
    static QByteArray response(int status, const QByteArray& reason, const QByteArray& body);
    // The body of a recorded request, after its header block.
    static QByteArray bodyOf(const QByteArray& request);
    static QByteArray headerOf(const QByteArray& request, const QByteArray& name);

private:
    void serve(QTcpSocket* socket);
    QTcpServer server_;
};
