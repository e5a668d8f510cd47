#include "shell/Configuration.h"

#include "text/Base64.h"
#include "text/Cp949.h"

QString DecodeConfigValue(const QString& stored)
{
    return Cp949::decode(DecodeBase64(stored.toLatin1()));
}
