#pragma once

#include <QString>

// A configuration value as stored: base64 of code page 949 text, decoded once.
QString DecodeConfigValue(const QString& stored);
