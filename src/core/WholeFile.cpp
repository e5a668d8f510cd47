#include "core/WholeFile.h"

#include <QSaveFile>

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes,
                                      QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && (permissions.toInt() == 0 || file.setPermissions(permissions))
        && file.write(bytes) == bytes.size() && file.commit())
        return std::nullopt;
    return file.errorString();
}
