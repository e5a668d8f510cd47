#include "core/AppError.h"
#include "jpeg/Jpeg.h"
#include "support/TestPaths.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return image;
}

QByteArray fixture(const char* name)
{
    QFile file(SourceDir() + "/tests/jpeg/data/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

int maxChannelDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// Offset of the first marker 0xFF `code` before the picture data starts, or -1.
qsizetype findMarker(const QByteArray& jpeg, uchar code)
{
    qsizetype i = 2;
    while (i + 4 <= jpeg.size() && uchar(jpeg[i]) == 0xFF) {
        if (uchar(jpeg[i + 1]) == code)
            return i;
        if (uchar(jpeg[i + 1]) == 0xDA)
            return -1;
        i += 2 + (uchar(jpeg[i + 2]) << 8 | uchar(jpeg[i + 3]));
    }
    return -1;
}

QString decodeError(QByteArrayView bytes)
{
    try {
        Jpeg::decode(bytes);
    } catch (const AppError& e) {
        return e.message();
    }
    return {};
}

}

TEST(Jpeg, EncodesBaselineColourAtQuality90AndDecodesItBack)
{
    const QImage original = gradient(64, 48);
    const QByteArray jpeg = Jpeg::encode(original);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_TRUE(jpeg.endsWith("\xFF\xD9"));

    const qsizetype sof = findMarker(jpeg, 0xC0);
    ASSERT_GE(sof, 0) << "baseline frame";
    EXPECT_EQ(findMarker(jpeg, 0xC2), -1) << "not progressive";
    EXPECT_EQ(uchar(jpeg[sof + 9]), 3) << "three colour components";
    // Quality 90 scales the standard luminance table by 20%: its first entry 16 becomes 3.
    const qsizetype dqt = findMarker(jpeg, 0xDB);
    ASSERT_GE(dqt, 0);
    EXPECT_EQ(uchar(jpeg[dqt + 5]), 3);

    const QImage decoded = Jpeg::decode(jpeg);
    EXPECT_EQ(decoded.size(), original.size());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_LE(maxChannelDifference(decoded, original), 12);
}

TEST(Jpeg, EncodesAnyImageFormatAndLaysTransparencyOnWhite)
{
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_EQ(Jpeg::decode(Jpeg::encode(clear)).pixel(4, 4), qRgb(255, 255, 255));

    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(100);
    const QRgb p = Jpeg::decode(Jpeg::encode(grey)).pixel(8, 8);
    EXPECT_NEAR(qRed(p), 100, 3);
    EXPECT_NEAR(qBlue(p), 100, 3);

    EXPECT_THROW(Jpeg::encode(QImage()), AppError);
}

TEST(Jpeg, DecodesGreyProgressiveAndCmykPictures)
{
    const QImage reference = [] {
        QImage image(24, 16, QImage::Format_RGB32);  // as the fixtures were made
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x)
                image.setPixel(x, y, qRgb(x * 10, y * 15, 128));
        return image;
    }();
    for (const char* name : {"progressive.jpg", "cmyk.jpg"}) {
        const QImage image = Jpeg::decode(fixture(name));
        ASSERT_EQ(image.size(), QSize(24, 16)) << name;
        EXPECT_LE(maxChannelDifference(image, reference), 20) << name;
    }
    const QImage grey = Jpeg::decode(fixture("gray.jpg"));
    ASSERT_EQ(grey.size(), QSize(24, 16));
    const QRgb p = grey.pixel(20, 10);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
}

TEST(Jpeg, RefusesWhatIsNotAWholeJpegWithAMessage)
{
    const QByteArray good = Jpeg::encode(gradient(64, 64));
    QByteArray scrambled = good;
    const qsizetype sos = good.indexOf("\xFF\xDA");
    for (qsizetype i = sos + 20; i < sos + 200; i += 3)
        scrambled[i] = char(0xFF);  // markers where entropy-coded data should be
    QByteArray huge = good;
    const qsizetype sof = findMarker(huge, 0xC0);
    huge[sof + 5] = char(0x27);  // 10000 × 10000
    huge[sof + 6] = char(0x10);
    huge[sof + 7] = char(0x27);
    huge[sof + 8] = char(0x10);

    const struct {
        const char* name;
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {"empty", QByteArray(), "JPEG"},
        {"text", "This is not a picture", "Not a JPEG"},
        {"png", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "Not a JPEG"},
        {"header only", good.left(sos), "JPEG"},
        {"cut in half", good.left(good.size() / 2), "JPEG"},
        {"scrambled data", scrambled, "JPEG"},
        {"too many pixels", huge, "10000×10000"},
    };
    for (const auto& c : cases) {
        const QString message = decodeError(c.bytes);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << c.name << " gave: " << message.toStdString();
    }
}
