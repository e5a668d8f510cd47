#pragma once

#include "TestStore.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "support/ServingThread.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

// A test's course (TestStoreLocation) and the course server answering for it from a thread
// once `serve` is called, after the test has filled the store.
struct ServedCourse {
    void serve(const ServerOptions& options = {})
    {
        server = std::make_unique<CourseServer>(store, accounts, options);
        serving.emplace(*server);
        port = serving->port();
    }

    QTemporaryDir dir;
    CourseStore store{TestStoreLocation(dir.path())};
    Accounts accounts{store};
    std::unique_ptr<CourseServer> server;
    std::optional<ServingThread> serving;
    int port = 0;
};
