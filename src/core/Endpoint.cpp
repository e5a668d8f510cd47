#include "core/Endpoint.h"

namespace {
QString& serverUrl()
{
    static QString url;
    return url;
}
}

void SetServerUrl(const QString& url)
{
    serverUrl() = url;
}

QString ServerUrl()
{
    return serverUrl();
}

QString ClientIfUrl()
{
    return serverUrl() + QStringLiteral("/clientif");
}
