#include "Course.h"
#include "Essays.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/ReviewLines.h"
#include "correction/TeacherForm.h"
#include "correction/TfrmTemp.h"
#include "correction/Thumbnail.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "text/Cp949.h"
#include "ui/Fonts.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

bool IsRed(QRgb c)
{
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}

int RedPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += IsRed(image.pixel(x, y));
    return count;
}

bool Dark(QRgb c)
{
    return qGray(c) < 128;
}

bool AnyDark(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Dark(image.pixel(x, y)))
                return true;
    return false;
}

// A manuscript page as the board composes it: white with a black frame line at x 0 and
// a grey body, so its place in the thumbnail shows.
QImage Page(QSize size)
{
    QImage page(size, QImage::Format_RGB32);
    page.fill(QColor(200, 200, 200));
    for (int y = 0; y < size.height(); ++y)
        page.setPixel(0, y, qRgb(0, 0, 0));
    return page;
}

// The markers of a JPEG file: SOF0 is a baseline frame, SOF2 a progressive one.
QList<quint8> Markers(const QByteArray& jpeg)
{
    QList<quint8> markers;
    qsizetype i = 2;
    while (i + 3 < jpeg.size() && quint8(jpeg[i]) == 0xFF) {
        const quint8 marker = quint8(jpeg[i + 1]);
        markers.append(marker);
        if (marker == 0xDA)
            break;
        i += 2 + ((quint8(jpeg[i + 2]) << 8) | quint8(jpeg[i + 3]));
    }
    return markers;
}

struct Part {
    QByteArray headers;
    QByteArray content;
};

// The parts of a multipart body, in order.
QList<Part> Parts(const UploadForm::Encoded& encoded)
{
    const QByteArray boundary = "--" + encoded.contentType.mid(encoded.contentType.indexOf("boundary=") + 9);
    QList<Part> parts;
    qsizetype at = encoded.body.indexOf(boundary + "\r\n");
    while (at >= 0) {
        const qsizetype start = at + boundary.size() + 2;
        const qsizetype next = encoded.body.indexOf("\r\n" + boundary, start);
        if (next < 0)
            break;
        const QByteArray raw = encoded.body.mid(start, next - start);
        const qsizetype split = raw.indexOf("\r\n\r\n");
        parts.append({raw.left(split + 2), raw.mid(split + 4)});
        at = encoded.body.at(next + 2 + boundary.size()) == '-' ? -1 : next + 2;
    }
    return parts;
}

TeacherSubmission Submission(const QString& key, const QByteArray& record, const QByteArray& thumbnail)
{
    return {CourseServerProcess::kTeacherNo,
            CourseServerProcess::kTeacherPassword,
            key,
            CourseServerProcess::kStudentNo,
            record,
            thumbnail,
            QStringLiteral("87")};
}

QByteArray Download(const QString& address)
{
    QBuffer stream;
    DownloadToStream(address, stream);
    return stream.data();
}

// The score the course page now writes into a viewing launch file (field 8).
QString StoredScore(const QString& key)
{
    const QByteArray launch = Download(Course::Server().launchUrl(QStringLiteral("C001"), key));
    return Cp949::decode(launch.split('\x03').value(8));
}

}

TEST(CorrectionThumbnail, ManuscriptPageWithAShortCommentIs876By880)
{
    CreateFrmTemp();
    QImage comment;
    frmTemp->RenderText(QStringLiteral("문단을 나누어 보세요."), comment);
    ASSERT_EQ(comment.size(), QSize(183, QFontMetrics(frmTemp->Font).height() + 10));
    const QImage thumbnail = Thumbnail::Board(Page({650, 880}), comment);
    EXPECT_EQ(thumbnail.size(), QSize(876, 880));
    EXPECT_EQ(thumbnail.pixel(0, 500), qRgb(0, 0, 0));  // the page at (0, 0)
    EXPECT_EQ(thumbnail.pixel(649, 879), qRgb(200, 200, 200));
    for (int x = 650; x < 656; ++x)  // the gap
        EXPECT_EQ(thumbnail.pixel(x, 5), qRgb(255, 255, 255));
    EXPECT_FALSE(AnyDark(thumbnail, QRect(650, 0, 6, 880)));
    EXPECT_TRUE(AnyDark(thumbnail, QRect(656, 0, 183, comment.height())));  // the comment at (656, 0)
    EXPECT_FALSE(AnyDark(thumbnail, QRect(656, comment.height(), 220, 880 - comment.height())));
    EXPECT_FALSE(AnyDark(thumbnail, QRect(656 + 183, 0, 876 - 656 - 183, 880)));
}

TEST(CorrectionThumbnail, ACommentTallerThanThePageSetsTheHeight)
{
    QImage comment(183, 1200, QImage::Format_RGB32);
    comment.fill(Qt::black);
    const QImage thumbnail = Thumbnail::Board(Page({650, 880}), comment);
    EXPECT_EQ(thumbnail.size(), QSize(876, 1200));
    EXPECT_EQ(thumbnail.pixel(300, 1000), qRgb(255, 255, 255));  // below the page stays blank
    EXPECT_EQ(thumbnail.pixel(700, 1199), qRgb(0, 0, 0));
}

TEST(CorrectionThumbnail, SiteAddressInRedBoldItalicCentredThenBaselineJpeg)
{
    QImage thumbnail(876, 880, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QImage written = thumbnail;
    Thumbnail::WriteSiteAddress(written);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(32);
    font.setBold(true);
    font.setItalic(true);
    const QFontMetrics metrics(font);
    const QRect text = metrics.boundingRect(DefaultServerUrl());
    // Red on one line around the centre, within the text's extent; nothing elsewhere.
    const QRect around(438 - text.width() / 2 - 8, 440 - metrics.height() / 2 - 4, text.width() + 16,
                       metrics.height() + 8);
    EXPECT_GT(RedPixels(written, around), 200);
    EXPECT_GT(RedPixels(written, QRect(around.left(), around.top(), around.width() / 3, around.height())), 20);
    EXPECT_GT(RedPixels(written,
                        QRect(around.right() - around.width() / 3, around.top(), around.width() / 3, around.height())),
              20);
    EXPECT_EQ(RedPixels(written, QRect(0, 0, 876, around.top())), 0);
    EXPECT_EQ(RedPixels(written, QRect(0, around.bottom() + 1, 876, 880 - around.bottom() - 1)), 0);

    const QByteArray jpeg = Thumbnail::Encode(thumbnail);
    EXPECT_EQ(jpeg, Jpeg::encode(written));  // the address written, then quality 90
    const QList<quint8> markers = Markers(jpeg);
    EXPECT_TRUE(markers.contains(0xC0)) << "not baseline";
    EXPECT_FALSE(markers.contains(0xC2)) << "progressive";
    EXPECT_EQ(Jpeg::decode(jpeg).size(), QSize(876, 880));
    EXPECT_THROW(Thumbnail::Encode(QImage()), AppError);
}

TEST(CorrectionThumbnail, HandwrittenPageIsThePictureAsIs)
{
    QImage picture = Essays::Picture({670, 500}, Qt::blue).convertToFormat(QImage::Format_RGB888);
    const QImage decoded = Jpeg::decode(Thumbnail::Encode(picture));
    EXPECT_EQ(decoded.size(), QSize(670, 500));
    EXPECT_LT(qRed(decoded.pixel(20, 20)), 40);
    EXPECT_GT(qBlue(decoded.pixel(20, 20)), 200);
    EXPECT_GT(RedPixels(decoded, QRect(0, 200, 670, 100)), 200);
}

TEST(TeacherFormParts, NinePartsInOrderWithEveryValueAsItStands)
{
    const QByteArray record = "<?xml version=\"1.0\"?><DATAPACKET/>";
    const QByteArray thumbnail("\xFF\xD8\xFF\xE0 jpeg bytes", 16);
    const TeacherSubmission submission{QStringLiteral("T 1001"),
                                       QStringLiteral("pass word+%"),
                                       QStringLiteral("DEMO0001"),
                                       QStringLiteral("S1001"),
                                       record,
                                       thumbnail,
                                       QStringLiteral(" 87")};
    const QList<Part> parts = Parts(TeacherForm(submission).encode());
    ASSERT_EQ(parts.size(), 9);
    const struct {
        const char* headers;
        QByteArray content;
    } expected[] = {
        {"Content-Disposition: form-data; name=\"flag\"\r\n", "T002"},
        {"Content-Disposition: form-data; name=\"teacher_no\"\r\n", "T 1001"},
        {"Content-Disposition: form-data; name=\"password\"\r\n", "pass word+%"},
        {"Content-Disposition: form-data; name=\"lecturekey\"\r\n", "DEMO0001"},
        {"Content-Disposition: form-data; name=\"student_no\"\r\n", "S1001"},
        {"Content-Disposition: form-data; name=\"file\"; filename=\"Teacher\"\r\nContent-Type: multipart/form-data\r\n",
         record},
        {"Content-Disposition: form-data; name=\"thumbnail\"; filename=\"thumStream\"\r\n"
         "Content-Type: multipart/form-data\r\n",
         thumbnail},
        {"Content-Disposition: form-data; name=\"report_point\"\r\n", " 87"},
        {"Content-Disposition: form-data; name=\"submit\"\r\n", "N"},
    };
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(parts[i].headers, QByteArray(expected[i].headers)) << i;
        EXPECT_EQ(parts[i].content, expected[i].content) << i;
    }
}

class TeacherFormPost : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Course::Start();
        DataSet essay = Essays::Manuscript(30);
        key = Course::PostEssay(essay);
    }
    static void TearDownTestSuite() { Course::Stop(); }

    static inline QString key;
};

TEST_F(TeacherFormPost, TheServerStoresTheRecordAndThumbnailAsSentAndAnswers)
{
    DataSet work(CorrectionRecord::fields());
    CorrectionRecord::storePage(work, CorrectionRecord::pageKey(0), {}, {});
    CorrectionRecord::storePage(work, CorrectionRecord::pageKey(1), {}, QStringLiteral("첫 쪽 평\r\n"));
    DataSet record(CorrectionRecord::fields());
    CorrectionRecord::writeSummary(
        record, work, {QStringLiteral("잘 읽었습니다.\r\n"), {"60", "45", "15", "27", "9", "9", "9"}, false});
    const QByteArray packet = CorrectionRecord::toPacket(record);
    const QByteArray thumbnail = Thumbnail::Encode(Page({876, 880}));

    const ReplyText reply = PostTeacherForm(Submission(key, packet, thumbnail));
    EXPECT_TRUE(reply.accepted());
    EXPECT_EQ(reply.message, QStringLiteral("첨삭이 저장되었습니다."));
    EXPECT_EQ(Download(Course::CorrectionUrl(key)), packet);
    EXPECT_EQ(Download(CourseServerProcess::asDemoStudent(Course::Server().url() + "/thumbnail/" + key)), thumbnail);
    EXPECT_EQ(StoredScore(key), QStringLiteral("87"));
}

TEST_F(TeacherFormPost, ARefusalGivesTheServersMessageAndFailuresRaise)
{
    TeacherSubmission wrong = Submission(key, "<DATAPACKET/>", Thumbnail::Encode(Page({10, 10})));
    wrong.password = QStringLiteral("not the password");
    const ReplyText reply = PostTeacherForm(wrong);
    EXPECT_EQ(reply.status, QStringLiteral("401"));
    EXPECT_FALSE(reply.message.isEmpty());
    EXPECT_FALSE(reply.message.contains(u'\x03'));

    // A form the transport cannot send, and a server that is not there, raise.
    TeacherSubmission unsendable = Submission(key, "<DATAPACKET/>", {});
    unsendable.reportPoint = QStringLiteral("\U0001F600");
    EXPECT_THROW(PostTeacherForm(unsendable), AppError);
    const QString running = ServerUrl();
    SetServerUrl(QStringLiteral("http://127.0.0.1:9"));
    EXPECT_THROW(PostTeacherForm(Submission(key, "<DATAPACKET/>", {})), AppError);
    SetServerUrl(running);
}

TEST(ReviewLinesTest, WrappedAsA680PixelMemo)
{
    const QFont font = GulimcheFont(13);
    const QFontMetrics metrics(font);
    QStringList words;
    for (int i = 0; i < 60; ++i)
        words << QStringLiteral("총평%1").arg(i);
    const QString paragraph = words.join(u' ');
    const QStringList lines = ReviewLines(QStringLiteral("첫 줄\r\n") + paragraph + QStringLiteral("\r\n\r\n끝\r\n"));
    ASSERT_GT(lines.size(), 5);
    EXPECT_EQ(lines.first(), QStringLiteral("첫 줄"));
    EXPECT_EQ(lines.last(), QStringLiteral("끝"));
    EXPECT_EQ(lines[lines.size() - 2], QString());  // the blank line between paragraphs
    const QStringList wrapped = lines.mid(1, lines.size() - 3);
    ASSERT_GT(wrapped.size(), 1);
    EXPECT_EQ(wrapped.join(QString()).simplified(), paragraph);
    for (const QString& line : wrapped) {
        EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), 680);
        EXPECT_FALSE(line.startsWith(u' '));
    }
    // The first wrapped line is as full as the memo lets it be: the next word would not fit.
    const QString first = wrapped[0].trimmed();
    const QString nextWord = wrapped[1].split(u' ').first();
    EXPECT_GT(metrics.horizontalAdvance(first + u' ' + nextWord), 676);
    EXPECT_TRUE(ReviewLines(QString()).isEmpty());
}
