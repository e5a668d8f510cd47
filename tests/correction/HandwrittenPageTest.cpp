#include "correction/HandwrittenPage.h"

#include "core/AppError.h"
#include "jpeg/Jpeg.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage Picture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 200));
    return picture;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(HandwrittenPage, ScaledToSixHundredSeventyWideHalvesToEven)
{
    struct Case {
        QSize picture;
        QSize page;
    } cases[] = {{{1340, 1000}, {670, 500}}, {{671, 1001}, {670, 1000}}, {{1340, 1001}, {670, 500}},
                 {{1340, 1003}, {670, 502}}, {{670, 880}, {670, 880}},   {{335, 7}, {670, 14}},
                 {{6700, 4}, {670, 1}}};
    for (const Case& c : cases)
        EXPECT_EQ(HandwrittenPage::scaledSize(c.picture), c.page) << c.picture.width() << "x" << c.picture.height();
}

TEST(HandwrittenPage, JpegAndBitmapFilesBecomeJpegPagesWithTheirExtension)
{
    QTemporaryDir dir;
    const QString jpg = dir.filePath("scan.jpg");
    const QString bmp = dir.filePath("SCAN2.BMP");
    const QString wrongName = dir.filePath("scan3.bmp");  // JPEG bytes under a bitmap's name
    Write(jpg, Jpeg::encode(Picture({1340, 1000})));
    ASSERT_TRUE(Picture({671, 1001}).save(bmp, "BMP"));
    Write(wrongName, Jpeg::encode(Picture({1340, 1001})));

    struct Case {
        QString path;
        QSize size;
        QString type;
    } cases[] = {{jpg, {670, 500}, ".jpg"}, {bmp, {670, 1000}, ".BMP"}, {wrongName, {670, 500}, ".bmp"}};
    for (const Case& c : cases) {
        const HandwrittenPage page = HandwrittenPage::fromFile(c.path);
        EXPECT_EQ(Jpeg::decode(page.jpeg).size(), c.size);
        EXPECT_EQ(page.picture.size(), c.size);
        EXPECT_EQ(page.imageType, c.type);
        const QColor middle = page.picture.pixelColor(c.size.width() / 2, c.size.height() / 2);
        EXPECT_NEAR(middle.blue(), 200, 6);
        EXPECT_NEAR(middle.red(), 40, 6);
    }
}

TEST(HandwrittenPage, UnreadablePicturesRaiseTheReadersError)
{
    QTemporaryDir dir;
    const QByteArray jpeg = Jpeg::encode(Picture({200, 100}));
    struct Case {
        QString name;
        QByteArray bytes;
        QString says;
    } cases[] = {{"text.jpg", "this is no picture", "그림을 읽을 수 없습니다"},
                 {"cut.jpg", jpeg.left(jpeg.size() / 2), "JPEG"},
                 {"empty.bmp", "", "그림을 읽을 수 없습니다"},
                 {"tall.bmp", QByteArray(), "너무 길어"}};
    ASSERT_TRUE(Picture({1, 200}).save(dir.filePath("tall.bmp"), "BMP"));
    for (const Case& c : cases) {
        if (!c.bytes.isNull() || c.name != "tall.bmp")
            Write(dir.filePath(c.name), c.bytes);
        try {
            HandwrittenPage::fromFile(dir.filePath(c.name));
            ADD_FAILURE() << c.name.toStdString() << " was taken";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(c.says)) << error.message().toStdString();
        }
    }
    EXPECT_THROW(HandwrittenPage::fromFile(dir.filePath("missing.jpg")), AppError);
}

}
