#include "net/UploadForm.h"

#include "core/AppError.h"
#include "text/Cp949.h"

#include <QRandomGenerator>

namespace {

// A quote or a line break would end the header line early and let the value forge headers.
QByteArray headerValue(const QString& what, const QString& text)
{
    if (text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n'))
        throw AppError(QStringLiteral("전송 양식의 %1 \"%2\"에 따옴표나 줄바꿈을 쓸 수 없습니다").arg(what, text));
    return Cp949::encode(text);
}

QByteArray dispositionLine(const QString& name)
{
    return "Content-Disposition: form-data; name=\"" + headerValue(QStringLiteral("이름"), name) + '"';
}

QByteArray newBoundary()
{
    const quint64 a = QRandomGenerator::global()->generate64();
    const quint64 b = QRandomGenerator::global()->generate64();
    return "DzFormBoundary" + QByteArray::number(a, 16).rightJustified(16, '0')
           + QByteArray::number(b, 16).rightJustified(16, '0');
}

}

void UploadForm::AddTextPart(const QString& name, const QString& value)
{
    parts_.append({dispositionLine(name) + "\r\n", Cp949::encode(value)});
}

void UploadForm::AddDataPart(const QString& name, const QString& contentType, const QString& fileName,
                             const QByteArray& data)
{
    const QByteArray header = dispositionLine(name) + "; filename=\""
                              + headerValue(QStringLiteral("파일 이름"), fileName) + "\"\r\n"
                              + "Content-Type: " + headerValue(QStringLiteral("내용 형식"), contentType) + "\r\n";
    parts_.append({header, data});
}

UploadForm::Encoded UploadForm::encode() const
{
    QByteArray boundary;
    bool clash = true;
    while (clash) {
        boundary = newBoundary();
        clash = false;
        for (const Part& part : parts_)
            clash = clash || part.content.contains(boundary) || part.header.contains(boundary);
    }

    const QByteArray delimiter = "--" + boundary + "\r\n";
    qsizetype size = delimiter.size() + 4;
    for (const Part& part : parts_)
        size += delimiter.size() + part.header.size() + 2 + part.content.size() + 2;

    QByteArray body;
    body.reserve(size);
    for (const Part& part : parts_) {
        body += delimiter;
        body += part.header;
        body += "\r\n";
        body += part.content;
        body += "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    return {"multipart/form-data; boundary=" + boundary, body};
}
