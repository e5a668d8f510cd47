#pragma once

#include <QString>

class LaunchFields;

// The notice for a launch file whose record addresses name another server (scheme, host
// and port) than the configuration's: its records would come from one server while saves
// go to the other. Empty when every address is on the configured server, when the file
// has none, or when its fields cannot be read (the set-up reports that).
QString ServerMismatch(const LaunchFields& fields, const QString& serverUrl);
