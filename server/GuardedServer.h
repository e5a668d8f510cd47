#pragma once

#include "RequestLimits.h"

#include <httplib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

// httplib's server with every connection held to the request limits: it reads each
// connection through a GuardedStream (one request per connection), refuses an address past
// its share of connections, and serves TLS itself when given a certificate. The library
// Debian ships bounds neither the number of header lines nor a request's duration, so the
// bounds live here, around it.
class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(const RequestLimits& limits);
    ~GuardedServer() override;

    // Serves HTTPS with the PEM certificate chain and key; raises std::runtime_error naming
    // the file or the mismatch.
    void useTls(const std::string& certFile, const std::string& keyFile);
    bool servesTls() const { return tls_ != nullptr; }

    // Ends every open exchange within a fraction of a second, then stops the listener.
    void stopServing();

private:
    bool process_and_close_socket(socket_t sock) override;
    bool admit(const std::string& address);
    void release(const std::string& address);

    RequestLimits limits_;
    std::atomic<bool> stopping_{false};
    SSL_CTX* tls_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, int> open_;
};
