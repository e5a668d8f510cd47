#include "shell/Configuration.h"

#include "components/Base64.h"
#include "components/Cp949.h"

QString DecodeConfigValue(const QString& stored)
{
    return Cp949::decode(DecodeBase64(stored.toLatin1()));
}
