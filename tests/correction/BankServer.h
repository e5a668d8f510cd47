#pragma once

#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"

#include <QTemporaryDir>

#include <memory>
#include <thread>

// The course server in-process on a loopback port, with the demo course and its teacher's
// correcting token; the client's server address points at it. stop() and start() again
// serve the same store (on a new port), as a server that went away and came back.
class BankServer {
public:
    BankServer();
    ~BankServer();

    void start();
    void stop();

    QTemporaryDir dir;
    CourseStore store;
    Accounts accounts;
    QString token;  // T1001's, for DEMO0001

private:
    std::unique_ptr<CourseServer> server_;
    std::thread serving_;
};
