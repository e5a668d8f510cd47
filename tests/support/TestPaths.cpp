#include "support/TestPaths.h"

#include <QtGlobal>

QString SourceDir()
{
    return qEnvironmentVariable("DZ_SOURCE_DIR");
}
QString BinDir()
{
    return qEnvironmentVariable("DZ_BIN_DIR");
}
