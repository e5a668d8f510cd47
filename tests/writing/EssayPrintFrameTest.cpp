#include "FrameFixture.h"
#include "SheetText.h"
#include "core/Endpoint.h"
#include "ui/PictureButton.h"
#include "jpeg/Jpeg.h"
#include "report/TfrmPreview.h"
#include "document/EssayRecord.h"
#include "net/BrowserWindowWatch.h"
#include "support/CourseServerProcess.h"
#include "support/RecordingDialogs.h"

#include <QBuffer>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList column(DataSet& data, const char* field)
{
    QStringList values;
    for (data.first(); !data.eof(); data.next())
        values << data.asString(QString::fromLatin1(field));
    return values;
}

// Pages as the record holds them; a null picture stands for bytes that are not JPEG.
void loadScanned(TfmeEditor& e, const QList<QImage>& pages)
{
    DataSet record(EssayRecord::fields());
    for (const QImage& page : pages) {
        record.append();
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", page.isNull() ? QByteArray("\x89PNG\r\n not a jpeg") : Jpeg::encode(page));
        record.post();
    }
    QBuffer stream;
    stream.setData(EssayRecord::toPacket(record));
    stream.open(QIODevice::ReadOnly);
    e.LoadEssay(stream);
    e.ShowEssay();
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QList<TfrmPreview*> openPreviews()
{
    QList<TfrmPreview*> previews;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<TfrmPreview*>(w); preview && preview->isVisible())
            previews << preview;
    return previews;
}

// Closes the previews a test opened, whatever it asserted.
struct PreviewCleanup {
    ~PreviewCleanup()
    {
        for (TfrmPreview* preview : openPreviews())
            preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}

TEST(EssayPrintFrame, FillPrintDataTakesThePaperShown)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setLineCount(23);
    SheetText::setLine(*e.gridModel, 0, QStringLiteral("__가나"));
    SheetText::setLine(*e.gridModel, 22, QStringLiteral("끝|."));
    e.FillPrintData();
    ASSERT_EQ(e.cdPrint.recordCount(), 23) << "blank lines print as well";
    EXPECT_EQ(column(e.cdPrint, "L3").first(), QStringLiteral("가"));
    EXPECT_EQ(column(e.cdPrint, "L1").last(), QStringLiteral("끝"));
    EXPECT_EQ(column(e.cdPrint, "L21").last(), QStringLiteral("."));

    // Blank paper narrow enough to wrap on the screen still prints the typed lines.
    e.BtnClick(e.btn2);
    e.mem->setFixedWidth(60);
    e.mem->setPlainText(QStringLiteral("한 줄은 화면에서 여러 줄로 접힌다\n둘\n셋"));
    e.FillPrintData();
    EXPECT_EQ(column(e.cdPrint, "LText"),
              QStringList({"한 줄은 화면에서 여러 줄로 접힌다", "둘", "셋"}));

    loadScanned(e, {filled(20, 30, Qt::blue), filled(40, 10, Qt::green)});
    e.FillPrintData();
    ASSERT_EQ(e.cdPrint.recordCount(), 2);
    e.cdPrint.first();
    EXPECT_EQ(QImage::fromData(e.cdPrint.asBytes(u"LImage")).size(), QSize(20, 30));
    e.cdPrint.next();
    EXPECT_EQ(QImage::fromData(e.cdPrint.asBytes(u"LImage")).size(), QSize(40, 10));
}

TEST(EssayPrintFrame, PrintOpensThePreviewOfTheEssayPrint)
{
    PreviewCleanup cleanup;
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setLineCount(30);
    SheetText::setLine(*e.gridModel, 0, QStringLiteral("가"));
    QTest::mouseClick(e.Image5, Qt::LeftButton);
    const QList<TfrmPreview*> previews = openPreviews();
    ASSERT_EQ(previews.size(), 1);
    const PreparedReport& report = previews[0]->report();
    EXPECT_EQ(report.pageCount(), 2);  // 30 lines, 24 to a sheet
    const QImage page = report.renderPage(0, 1.0);
    EXPECT_EQ(page.pixel(72, 54), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(702, 54), qRgb(255, 255, 255));

    // On blank paper only the text band prints.
    e.BtnClick(e.btn2);
    e.mem->setPlainText(QStringLiteral("첫 줄\n둘째 줄"));
    e.BtnClick(e.Image5);
    QList<TfrmPreview*> now = openPreviews();
    ASSERT_EQ(now.size(), 2);
    now.removeOne(previews[0]);
    const PreparedReport& text = now[0]->report();
    QStringList lines;
    for (const ReportItem& item : text.pages[0].items) {
        ASSERT_TRUE(std::holds_alternative<ReportTextLine>(item));
        lines << std::get<ReportTextLine>(item).text;
    }
    EXPECT_EQ(lines, QStringList({"첫 줄", "둘째 줄"}));
}

TEST(EssayPrintFrame, AScannedPageThatIsNotJpegShowsTheDecodersErrorAndNoPreview)
{
    PreviewCleanup cleanup;
    ScopedRecordingDialogs dialogs;
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    loadScanned(e, {filled(20, 30, Qt::blue), QImage()});
    QTest::mouseClick(e.Image5, Qt::LeftButton);
    const QStringList errors = dialogs->texts(RecordingDialogs::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("JPEG 그림을 읽을 수 없습니다"))) << errors[0].toStdString();
    EXPECT_TRUE(openPreviews().isEmpty());
    EXPECT_EQ(e.cdEditor.recordCount(), 2) << "the pages stay to be saved";
}

TEST(EssayPrintFrame, DiscussionButtonOpensTheLecturesDiscussionPage)
{
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    const QString address = server.url() + "/discussion/" + CourseServerProcess::kLectureKey;
    QStringList fields = FrameFixture::fields();
    fields << address;
    FrameFixture f(fields);
    TfmeEditor& e = *f.editor;
    ASSERT_TRUE(e.btnAG->isVisible());
    QString url;
    WhenBrowserPageLoaded([&](QDialog* window, QObject* web) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("토의사항"));
        url = web->property("url").toUrl().toString();
    });
    e.BtnClick(e.btnAG);
    EXPECT_EQ(url, address);
}
