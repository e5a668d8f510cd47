#include "correction/HandwrittenPage.h"

#include "core/AppError.h"
#include "jpeg/Jpeg.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace {

// The tallest picture a JPEG can hold.
constexpr int kMaxJpegSide = 65500;

QImage readPicture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("그림 파일을 열 수 없습니다: %1 (%2)").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xFF\xD8"))
        return Jpeg::decode(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    QImage picture = reader.read();
    if (picture.isNull())
        throw AppError(QStringLiteral("그림을 읽을 수 없습니다: %1 (%2)").arg(path, reader.errorString()));
    return picture;
}

}

QSize HandwrittenPage::scaledSize(QSize picture)
{
    const double factor = double(kWidth) / picture.width();
    // rint rounds halves to even in the default rounding mode.
    const double height = std::rint(picture.height() * factor);
    return {kWidth, int(std::clamp(height, 1.0, double(kMaxJpegSide) + 1))};
}

HandwrittenPage HandwrittenPage::fromFile(const QString& path)
{
    const QImage picture = readPicture(path);
    const QSize size = scaledSize(picture.size());
    if (size.height() > kMaxJpegSide)
        throw AppError(QStringLiteral("그림이 너무 길어 페이지로 만들 수 없습니다: %1 (%2×%3 화소)")
                           .arg(path)
                           .arg(picture.width())
                           .arg(picture.height()));
    HandwrittenPage page;
    page.jpeg = Jpeg::encode(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    page.picture = Jpeg::decode(page.jpeg);
    const QString suffix = QFileInfo(path).suffix();
    page.imageType = suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
    return page;
}
