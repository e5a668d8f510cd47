#pragma once

#include <QTemporaryDir>

// A throw-away PostgreSQL cluster of this process's own (tests/server/pg-test-cluster),
// durable as a real one (fsync on), for the benchmarks; TestStoreLocation() makes its
// databases while it runs. Stopped and removed at destruction.
class TestCluster {
public:
    // Raises std::runtime_error with the cluster's log when it does not start.
    TestCluster();
    ~TestCluster();

private:
    QString dir_;
};
