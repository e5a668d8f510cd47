#include "ShellFixture.h"

#include "text/Cp949.h"

#include <QFile>

ShellFixture::ShellFixture() = default;

QString ShellFixture::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
    return path;
}

QString ShellFixture::launchFile(const QString& name, const QStringList& fields) const
{
    return write(name, Cp949::encode(fields.join(QChar(0x03))));
}

std::unique_ptr<TfrmMain> ShellFixture::start(const QString& launchPath) const
{
    return std::make_unique<TfrmMain>(launchPath, dir_.path());
}

QStringList StudentFields()
{
    return {"S001", "st01", "pw", "0", "", "", "1", "우리 동네 도서관", "0", "0"};
}

QStringList TeacherFields()
{
    return {"T001", "te01", "pw", "0", "", "st01", "", "", "1", "제목", "85"};
}

QStringList ViewFields()
{
    return {"C001", "te01", "pw", "1", "", "", "", "제목", "85"};
}
