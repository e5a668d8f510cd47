#include "TestCluster.h"

#include <QProcess>

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace {

const QString kScript = QStringLiteral(DZ_SOURCE_DIR "/tests/server/pg-test-cluster");

}

TestCluster::TestCluster() : dir_(QStringLiteral("/tmp/dz-pg-bench-%1").arg(getpid()))
{
    QProcess start;
    start.setProcessChannelMode(QProcess::MergedChannels);
    start.start(kScript, {"start", dir_, "durable"});
    if (!start.waitForFinished(120000) || start.exitCode() != 0)
        throw std::runtime_error("the PostgreSQL cluster did not start: " + start.readAll().toStdString());
    setenv("DZ_TEST_PG", dir_.toLocal8Bit().constData(), 1);
}

TestCluster::~TestCluster()
{
    unsetenv("DZ_TEST_PG");
    QProcess::execute(kScript, {"stop", dir_});
}
