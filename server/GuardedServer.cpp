#include "GuardedServer.h"

#include "GuardedStream.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

std::string tlsError(const std::string& what)
{
    const unsigned long code = ERR_get_error();
    char text[256] = "unknown reason";
    if (code != 0)
        ERR_error_string_n(code, text, sizeof text);
    return what + ": " + text;
}

}

GuardedServer::GuardedServer(const RequestLimits& limits) : limits_(limits)
{
}

GuardedServer::~GuardedServer()
{
    if (tls_)
        SSL_CTX_free(tls_);
}

void GuardedServer::useTls(const std::string& certFile, const std::string& keyFile)
{
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context)
        throw std::runtime_error(tlsError("cannot set up TLS"));
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (SSL_CTX_use_certificate_chain_file(context, certFile.c_str()) != 1) {
        SSL_CTX_free(context);
        throw std::runtime_error(tlsError("cannot read the certificate " + certFile));
    }
    if (SSL_CTX_use_PrivateKey_file(context, keyFile.c_str(), SSL_FILETYPE_PEM) != 1
        || SSL_CTX_check_private_key(context) != 1) {
        SSL_CTX_free(context);
        throw std::runtime_error(tlsError("cannot use the key " + keyFile + " with the certificate"));
    }
    if (tls_)
        SSL_CTX_free(tls_);
    tls_ = context;
}

void GuardedServer::stopServing()
{
    stopping_ = true;
    stop();
}

bool GuardedServer::admit(const std::string& address)
{
    const std::lock_guard lock(mutex_);
    int& count = open_[address];
    if (count >= limits_.connectionsPerAddress)
        return false;
    ++count;
    return true;
}

void GuardedServer::release(const std::string& address)
{
    const std::lock_guard lock(mutex_);
    if (--open_[address] <= 0)
        open_.erase(address);
}

bool GuardedServer::process_and_close_socket(socket_t sock)
{
    bool served = false;
    ::fcntl(sock, F_SETFL, ::fcntl(sock, F_GETFL) | O_NONBLOCK);
    SSL* ssl = nullptr;
    if (tls_) {
        ssl = SSL_new(tls_);
        SSL_set_fd(ssl, sock);
    }
    GuardedStream stream(sock, ssl, limits_, stopping_);
    std::string address;
    int port = 0;
    stream.get_remote_ip_and_port(address, port);
    if (!stopping_ && admit(address)) {
        if (!ssl || stream.handshake()) {
            bool closed = false;
            served = process_request(stream, true, closed, nullptr);
            stream.drain();
        }
        release(address);
    } else if (!stopping_ && !ssl) {
        stream.write("HTTP/1.1 503 Service Unavailable\r\nRetry-After: 10\r\nContent-Length: 0\r\n"
                     "Connection: close\r\n\r\n");
    }
    if (ssl)
        SSL_free(ssl);
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}
