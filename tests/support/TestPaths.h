#pragma once

#include <QString>

// The source tree (for shared data and fixtures) and the folder of the built programs.
QString SourceDir();
QString BinDir();
