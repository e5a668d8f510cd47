#include "shell/Configuration.h"

#include "core/AppError.h"
#include "text/Base64.h"
#include "text/Cp949.h"
#include "text/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

void readSize(const IniFile& ini, const QString& key, qint64& size)
{
    const std::optional<QString> value = ini.value(QStringLiteral("CONFIG"), key);
    if (!value)
        return;
    bool ok = false;
    const qint64 number = value->trimmed().toLongLong(&ok);
    if (!ok || number <= 0)
        throw AppError(QStringLiteral("설정 파일 dozoruderado.ini의 %1 값 \"%2\"이(가) 바이트 수가 아닙니다. "
                                      "양의 정수로 고쳐 주십시오.")
                           .arg(key, *value));
    size = number;
}

}

QString ConfigurationPath(const QString& programDir, const QString& systemDir)
{
    const QString name = QStringLiteral("dozoruderado.ini");
    const QString beside = QDir(programDir).filePath(name);
    return QFileInfo::exists(beside) ? beside : QDir(systemDir).filePath(name);
}

QString DecodeConfigValue(const QString& stored)
{
    return Cp949::decode(DecodeBase64(stored.toLatin1()));
}

TransferSettings ReadTransferSettings(const IniFile& ini)
{
    TransferSettings settings;
    readSize(ini, QStringLiteral("MaxReplyBytes"), settings.maxReplyBytes);
    readSize(ini, QStringLiteral("MaxDownloadBytes"), settings.maxDownloadBytes);
    settings.caFile = ini.value(QStringLiteral("CONFIG"), QStringLiteral("CAFile")).value_or(QString()).trimmed();
    return settings;
}
