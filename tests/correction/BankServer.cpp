#include "BankServer.h"

#include "core/Endpoint.h"

BankServer::BankServer() : store("sqlite:" + (dir.path() + "/course.sqlite").toStdString()), accounts(store)
{
    store.seedDemo();
    token = QString::fromStdString(
        accounts.issueToken({Role::Teacher, "T1001"}, Grant::Correct, CourseStore::kDemoLecture, ""));
    start();
}

BankServer::~BankServer()
{
    stop();
}

void BankServer::start()
{
    server_ = std::make_unique<CourseServer>(store, accounts);
    const int port = server_->bind("127.0.0.1", 0);
    if (port <= 0)
        throw std::runtime_error("no loopback port for the course server");
    serving_ = std::thread([this] { server_->run(); });
    SetServerUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}

void BankServer::stop()
{
    if (!server_)
        return;
    server_->stop();
    serving_.join();
    server_.reset();
}
