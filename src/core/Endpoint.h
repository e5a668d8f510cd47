#pragma once

#include <QString>

// The course server's address used when the configuration names none.
inline QString DefaultServerUrl()
{
    return QStringLiteral("http://127.0.0.1:8765");
}

// Set once at start-up from the configuration.
void SetServerUrl(const QString& url);
QString ServerUrl();
// ServerUrl followed by "/clientif", no check for a doubled "/": where every form goes.
QString ClientIfUrl();
