#pragma once

#include "core/TransferSettings.h"

#include <QString>

class IniFile;

// Where the package installs the configuration, a conffile the school edits.
inline const QString kSystemConfigDir = QStringLiteral("/etc/dozoruderado");

// The configuration file to read: dozoruderado.ini beside the program when one lies
// there, else the one in `systemDir`, which may not exist either (the defaults then hold).
QString ConfigurationPath(const QString& programDir, const QString& systemDir = kSystemConfigDir);

// A configuration value as stored: base64 of code page 949 text, decoded once.
QString DecodeConfigValue(const QString& stored);

// MaxReplyBytes, MaxDownloadBytes and CAFile of section CONFIG, plain text; absent keys
// keep their defaults. Raises AppError naming a key whose value is not a positive number.
TransferSettings ReadTransferSettings(const IniFile& ini);
