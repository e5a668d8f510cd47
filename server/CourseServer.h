#pragma once

#include "Accounts.h"
#include "CourseStore.h"
#include "ServerOptions.h"

#include <memory>
#include <string>

class HttpServer;
class RequestGate;
struct CourseSite;
struct HttpRequest;
struct HttpResponse;

// The course's web server: the form endpoint, the record addresses, the sign-in, the course
// page and its launch files, over an event-driven HTTP core. stop() may be called from any
// thread and ends open exchanges at once.
class CourseServer {
public:
    static constexpr std::size_t kDefaultMaxBody = RequestLimits{}.maxBody;

    // Raises std::runtime_error when the TLS files cannot be used.
    CourseServer(CourseStore& store, Accounts& accounts, const ServerOptions& options = {});
    ~CourseServer();

    // Binds the address; port 0 picks a free one. Returns the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop().
    void run();
    void stop();

private:
    struct Routes;
    HttpResponse route(const CourseSite& site, HttpRequest& req) const;

    CourseStore& store_;
    Accounts& accounts_;
    ServerOptions options_;
    std::unique_ptr<RequestGate> gate_;
    std::unique_ptr<Routes> routes_;
    std::unique_ptr<HttpServer> server_;
};
