#include "shell/LaunchFile.h"

#include "core/AppError.h"
#include "text/Cp949.h"
#include "text/TrimControls.h"

#include <QFile>

namespace LaunchFile {

namespace {
QByteArray joinLinesWithCrLf(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        out.append(text.mid(start, end - start));
        out.append("\r\n");
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return out;
}
}

LaunchFields split(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArray joined = joinLinesWithCrLf(nul < 0 ? bytes : bytes.left(nul));
    // 0x03 never occurs inside a double-byte character, so the decoded text splits the same.
    QStringList fields = Cp949::decode(joined).split(QChar(0x03));
    fields.last() = TrimControls(fields.last());
    return LaunchFields(std::move(fields));
}

LaunchFields read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 을 열 수 없습니다: %2").arg(path, file.errorString()));
    if (file.size() > kMaxSize)
        throw AppError(QStringLiteral("%1 은 시작 정보 파일이 아닙니다: 크기가 1 MiB를 넘습니다. "
                                      "수업 페이지에서 다시 시작하십시오")
                           .arg(path));
    return split(file.read(kMaxSize + 1));
}

}
