#pragma once

#include "core/TransferSettings.h"

#include <QString>

class IniFile;

// A configuration value as stored: base64 of code page 949 text, decoded once.
QString DecodeConfigValue(const QString& stored);

// MaxReplyBytes, MaxDownloadBytes and CAFile of section CONFIG, plain text; absent keys
// keep their defaults. Raises AppError naming a key whose value is not a positive number.
TransferSettings ReadTransferSettings(const IniFile& ini);
