#pragma once

#include "core/LaunchFields.h"

#include <QByteArray>
#include <QString>

namespace LaunchFile {

// Larger launch files are refused: the course site writes a few hundred bytes.
constexpr qint64 kMaxSize = 1024 * 1024;

// Splits a launch file's bytes into fields: the text ends at the first NUL; CR LF, CR and
// LF each end a line and every line, the last included, is joined again with CR LF; the
// text is cut at every 0x03 and only the last field is trimmed of codes 32 and below.
LaunchFields split(const QByteArray& bytes);

// Reads and splits the file; raises an error when it cannot be read or is too large.
LaunchFields read(const QString& path);

}
