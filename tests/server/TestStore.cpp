#include "TestStore.h"

#include <QDir>

#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

bool TestStoreIsPostgres()
{
    return std::getenv("DZ_TEST_PG") != nullptr;
}

std::string TestStoreLocation(const QString& dir)
{
    const char* cluster = std::getenv("DZ_TEST_PG");
    if (!cluster) {
        QDir().mkpath(dir);
        return "sqlite:" + (dir + "/course.sqlite").toStdString();
    }
    static std::atomic<int> made{0};
    const std::string name = "dz_" + std::to_string(getpid()) + "_" + std::to_string(made++);
    const std::string server = std::string("host=") + cluster + " user=postgres";
    PGconn* conn = PQconnectdb((server + " dbname=postgres").c_str());
    PGresult* result = PQexec(conn, ("CREATE DATABASE " + name).c_str());
    const bool made_ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    const std::string error = PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    if (!made_ok)
        throw std::runtime_error("test database: " + error);
    return server + " dbname=" + name;
}
