// course-server [seed] [--data DIR] [--listen HOST:PORT] [--max-body BYTES]
#include "CourseServer.h"
#include "CourseStore.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <pthread.h>
#include <string>
#include <thread>

namespace {

struct Options {
    bool seed = false;
    std::string data = ".";
    std::string host = "127.0.0.1";
    int port = 8765;
    std::size_t maxBody = CourseServer::kDefaultMaxBody;
};

int usage(const char* message)
{
    std::fprintf(stderr,
                 "course-server: %s\n"
                 "usage: course-server [seed] [--data DIR] [--listen HOST:PORT] "
                 "[--max-body BYTES]\n",
                 message);
    return 2;
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "seed") {
            options.seed = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        try {
            if (arg == "--data") {
                options.data = value;
            } else if (arg == "--listen") {
                const auto colon = value.rfind(':');
                if (colon == std::string::npos)
                    return false;
                options.host = value.substr(0, colon);
                options.port = std::stoi(value.substr(colon + 1));
            } else if (arg == "--max-body") {
                options.maxBody = std::stoull(value);
            } else {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
    }
    return options.port >= 0 && options.port <= 65535;
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options))
        return usage("bad arguments");

    try {
        std::filesystem::create_directories(options.data);
        CourseStore store((std::filesystem::path(options.data) / "course.sqlite").string());
        if (options.seed) {
            store.seedDemo();
            std::printf("demo course ready: student S1001 / student1, teacher T1001 / teacher1, "
                        "lecture %s\n",
                        CourseStore::kDemoLecture);
            return 0;
        }

        // Signals go to one waiting thread, which stops the server; the pool never sees them.
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);

        CourseServer server(store, options.maxBody);
        const int port = server.bind(options.host, options.port);
        if (port < 0) {
            std::fprintf(stderr, "course-server: cannot listen on %s:%d: %s\n", options.host.c_str(), options.port,
                         std::strerror(errno));
            return 1;
        }
        std::thread waiter([&server, signals] {
            int signal = 0;
            sigwait(&signals, &signal);
            server.stop();
        });
        std::printf("course-server listening on http://%s:%d\n", options.host.c_str(), port);
        std::fflush(stdout);
        server.run();
        // Stopped by a signal, or the listener failed: either way the waiter must end.
        pthread_kill(waiter.native_handle(), SIGTERM);
        waiter.join();
        std::printf("course-server stopped\n");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "course-server: %s\n", error.what());
        return 1;
    }
}
