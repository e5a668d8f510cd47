#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>

// A loopback proxy in the test's own thread (the client's transfer loop serves it) between
// the client and a server, which can lose answers: the connection is cut as the answer
// starts to come back, after the server has done the work, as a dropped mobile or school
// network does.
class LossyProxy : public QObject {
public:
    LossyProxy(QString host, quint16 port);

    QString url() const;

    int answersToLose = 0;
    int lost = 0;

private:
    void pass(QTcpSocket* client);

    QTcpServer listener_;
    QString host_;
    quint16 port_;
};
