#include "document/JournalFile.h"

#include "core/AppError.h"
#include "core/WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

// Launch fields are outside input: only letters, digits, "-" and "_" reach a file name.
QString namePart(const QString& text)
{
    QString part;
    for (QChar c : text)
        part += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : u'_';
    return part.left(40);
}

}

JournalFile::JournalFile(const QString& mode, const QString& lectureKey, const QString& person)
{
    const QString key = lectureKey.trimmed().isEmpty() ? QStringLiteral("new") : namePart(lectureKey);
    path_ = QDir(folder()).filePath(QStringLiteral("%1-%2-%3.journal").arg(namePart(mode), key, namePart(person)));
}

QString JournalFile::folder()
{
    const QString dir =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
    if (!QDir().mkpath(dir))
        throw AppError(QStringLiteral("복구 파일 폴더(%1)를 만들 수 없습니다. 폴더의 권한을 확인하십시오").arg(dir));
    // Essays are private: only their writer may read the folder.
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

bool JournalFile::exists() const
{
    return QFile::exists(path_);
}

std::optional<QByteArray> JournalFile::read() const
{
    QFile file(path_);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("복구 파일(%1)을 읽을 수 없습니다: %2").arg(path_, file.errorString()));
    if (file.size() > kMaxBytes)
        throw AppError(
            QStringLiteral("복구 파일(%1)이 %2 MB로 너무 커서 읽지 않았습니다").arg(path_).arg(file.size() >> 20));
    return file.readAll();
}

void JournalFile::write(const QByteArray& bytes) const
{
    // Essays are private: the file is its writer's alone from its first byte.
    if (const std::optional<QString> why = WriteWholeFile(path_, bytes, QFile::ReadOwner | QFile::WriteOwner))
        throw AppError(
            QStringLiteral("복구 파일(%1)을 쓸 수 없습니다: %2. 디스크 공간과 권한을 확인하십시오").arg(path_, *why));
}

void JournalFile::remove() const
{
    QFile::remove(path_);
}

QString JournalFile::setAside() const
{
    if (!exists())
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString aside = path_ + QLatin1Char('.') + stamp;
    if (!QFile::rename(path_, aside))
        throw AppError(QStringLiteral("복구 파일(%1)을 옮길 수 없습니다. 폴더의 권한을 확인하십시오").arg(path_));
    return aside;
}
