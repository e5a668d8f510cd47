#include "support/NginxBalancer.h"

#include "support/HttpClient.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

int FreeLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

NginxBalancer::NginxBalancer(const std::vector<int>& instancePorts, const QString& locations, int port)
    : port_(port ? port : FreeLoopbackPort())
{
    const QString nginx = QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/bin"});
    if (nginx.isEmpty())
        throw std::runtime_error("nginx is not installed (scripts/packages.txt lists it)");
    QString servers;
    for (const int instance : instancePorts)
        servers += QStringLiteral("    server 127.0.0.1:%1 max_fails=1 fail_timeout=30s;\n").arg(instance);
    QFile config(prefix_.filePath("nginx.conf"));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("daemon off;\nmaster_process off;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
                                "worker_rlimit_nofile 4096;\nevents { worker_connections 2048; }\n"
                                "http {\n  access_log off;\n"
                                "  client_body_temp_path %1/body;\n  proxy_temp_path %1/proxy;\n"
                                "  fastcgi_temp_path %1/fastcgi;\n  uwsgi_temp_path %1/uwsgi;\n"
                                "  scgi_temp_path %1/scgi;\n"
                                "  upstream course {\n%3    keepalive 32;\n  }\n"
                                "  server {\n    listen 127.0.0.1:%2;\n    server_name 127.0.0.1;\n"
                                "    client_header_timeout 10s;\n%5"
                                "    location / {\n      proxy_pass http://course;\n      include %4;\n"
                                "    }\n  }\n}\n")
                     .arg(prefix_.path())
                     .arg(port_)
                     .arg(servers, QStringLiteral(DZ_SOURCE_DIR "/resources/server/nginx-proxy.conf"), locations)
                     .toUtf8());
    config.close();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(nginx,
                   {"-p", prefix_.path(), "-c", prefix_.filePath("nginx.conf"), "-e", prefix_.filePath("error.log")});
    // nginx listens a moment after it starts.
    HttpClient probe(port_);
    const QDeadlineTimer deadline(10000);
    while (probe.get("/login").status == 0) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
            throw std::runtime_error("nginx did not start: " + process_.readAll().toStdString());
        QThread::msleep(50);
    }
}

NginxBalancer::~NginxBalancer()
{
    process_.terminate();
    process_.waitForFinished(10000);
}
