#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Writes `bytes` beside `path` and puts the file in its place only once all of it is
// written, so a failure never leaves half a file under that name; `permissions`, when
// given, hold from the first byte. Returns why it failed, or nothing when it was written.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes,
                                      QFileDevice::Permissions permissions = {});
