#pragma once

#include "server/CourseServer.h"

#include <thread>

// A course server answering on a free loopback port from a thread of its own, for as long as
// this lives: stopped and joined when it goes, so declare it after the server it runs.
class ServingThread {
public:
    explicit ServingThread(CourseServer& server)
        : server_(server), port_(server.bind("127.0.0.1", 0)), thread_([&server] { server.run(); })
    {
    }
    ~ServingThread()
    {
        server_.stop();
        thread_.join();
    }
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    int port() const { return port_; }

private:
    CourseServer& server_;
    int port_;
    std::thread thread_;
};
