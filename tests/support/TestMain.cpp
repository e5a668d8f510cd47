#include "ui/TApplication.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void setDefault(const char* name, const QByteArray& value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

}

int main(int argc, char** argv)
{
    // Every test runs offscreen on a 1920 x 1080 screen, finds the sources and the built
    // programs, and may open the discussion window, whose browser engine refuses to run as
    // root with its sandbox and has no GPU offscreen. The variables reach the processes the
    // tests start too.
    setDefault("QT_QPA_PLATFORM", "offscreen:configfile=" DZ_SOURCE_DIR_DEFAULT "/tests/support/screen-1920x1080.json");
    setDefault("DZ_SOURCE_DIR", DZ_SOURCE_DIR_DEFAULT);
    setDefault("DZ_BIN_DIR", DZ_BIN_DIR_DEFAULT);
    setDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    // Recovery journals of a test stay in a folder of its own, never the user's, and no
    // journal of an earlier test is offered to a later one. Processes a test starts share it.
    const QTemporaryDir appData;
    setDefault("DZ_TEST_DATA_HOME", appData.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", qgetenv("DZ_TEST_DATA_HOME"));
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
