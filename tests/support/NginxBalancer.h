#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <vector>

// nginx in front of course-server instances on loopback, with the shipped proxy settings and
// an upstream that balances over them (docs/deploy.md); stopped at destruction.
class NginxBalancer {
public:
    // `locations`: further location blocks of the server, before the proxying one (a site
    // that answers some addresses itself). `port`: where nginx listens, 0 for a free port.
    // Raises std::runtime_error when nginx is missing or does not answer.
    explicit NginxBalancer(const std::vector<int>& instancePorts, const QString& locations = {}, int port = 0);
    ~NginxBalancer();

    int port() const { return port_; }

private:
    QTemporaryDir prefix_;
    QProcess process_;
    int port_ = 0;
};

// A loopback port free at the moment.
int FreeLoopbackPort();
