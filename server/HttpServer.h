#pragma once

#include "HttpExchange.h"
#include "RequestLimits.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// An event-driven HTTP/1.1 server: a few threads wait on every connection at once, so a
// slow or idle client costs a socket and a timer, never a thread. Each request is held to
// the limits: deadlines for the head and for the whole exchange, the head's size, and the
// body's size; the body is spooled to a file as it arrives. Handlers run on a pool of their
// own, so a slow password check never stalls the connections.
class HttpServer {
public:
    // Answers a request.
    using Handler = std::function<HttpResponse(HttpRequest&)>;
    // Looks at a request's head: an answer here refuses it before its body is read.
    using Screen = std::function<std::optional<HttpResponse>(const HttpRequest&)>;
    // The answer to a request the server itself refuses (400, 408, 413, 431, 500).
    using Failure = std::function<HttpResponse(const HttpRequest&, int status)>;

    // `trustedProxy` (may be empty): the address of a reverse proxy whose X-Forwarded-For
    // names the client.
    HttpServer(const RequestLimits& limits, std::string trustedProxy, Screen screen, Handler handler, Failure failure);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Serves HTTPS with the PEM certificate chain and key (ECDHE key exchange only); raises
    // std::runtime_error naming the file or the mismatch.
    void useTls(const std::string& certFile, const std::string& keyFile);
    bool servesTls() const;
    // A header sent with every answer.
    void addHeader(const std::string& name, const std::string& value);

    // Binds the address; port 0 picks a free one. Returns the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); may be called once.
    void run();
    // May be called from any thread: open exchanges end at once.
    void stop();

private:
    struct Core;
    std::unique_ptr<Core> core_;
};
