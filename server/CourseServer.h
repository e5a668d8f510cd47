#pragma once

#include "CourseStore.h"

#include <cstddef>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

// The course's web server: the form endpoint, the record addresses, the course page and
// its launch files. Runs on httplib's thread pool; stop() may be called from any thread.
class CourseServer {
public:
    static constexpr std::size_t kDefaultMaxBody = 64u << 20;

    CourseServer(CourseStore& store, std::size_t maxBody = kDefaultMaxBody);
    ~CourseServer();

    // Binds the address; port 0 picks a free one. Returns the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop().
    void run();
    void stop();

private:
    void routes();

    CourseStore& store_;
    std::size_t maxBody_;
    std::string host_;
    int port_ = 0;
    int listener_ = -1;
    std::unique_ptr<httplib::Server> server_;
};
