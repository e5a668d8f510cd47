#pragma once

#include <QString>

#include <string>

// Where a test keeps its course: a fresh PostgreSQL database in the test cluster when the
// test runs against PostgreSQL (DZ_TEST_PG names the cluster's socket folder), else an SQLite
// file in `dir`.
std::string TestStoreLocation(const QString& dir);
bool TestStoreIsPostgres();
