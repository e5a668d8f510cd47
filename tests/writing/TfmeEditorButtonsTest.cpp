#include "FrameFixture.h"
#include "SheetText.h"
#include "core/Endpoint.h"
#include "core/TransferGate.h"
#include "document/EssayRecord.h"
#include "net/BrowserWindowWatch.h"
#include "net/FakeHttpServer.h"
#include "net/Transport.h"
#include "report/TfrmPreview.h"
#include "support/CourseServerProcess.h"
#include "support/RecordingDialogs.h"
#include "text/Cp949.h"

#include <QBuffer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Demo = CourseServerProcess;

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

void click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

}

TEST(WritingFrameButtons, SaveStoresThePaperOnTheServerUnderTheLectureItNames)
{
    ScopedRecordingDialogs dialogs;
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    FrameFixture f({"S001", Demo::kStudentNo, Demo::kStudentPassword, "0", "", "", "1", "우리 동네 도서관", "0", "0"});
    SheetText::setLine(f.cells(), 0, QStringLiteral("__우리 동네 도서관에 다녀왔다|."));
    click(f.button("btnSave"));
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << "an accepted save shows nothing";
    const QString key = f.session().LectureKey();
    ASSERT_FALSE(key.isEmpty()) << "the server's new lecture names the next saves";

    QBuffer stored;
    DownloadToStream(CourseServerProcess::asDemoStudent(server.url() + "/essay/" + key), stored);
    DataSet record;
    EssayRecord::load(record, stored.data());
    ManuscriptGrid grid;
    EssayRecord::toGrid(record, grid);
    EXPECT_EQ(SheetText::dump(grid), SheetText::dump(f.cells()));
    EXPECT_TRUE(f.session().cdEditor().isEmpty());
}

TEST(WritingFrameButtons, SaveAndPrintAreRefusedQuietlyWhileATransferRuns)
{
    PreviewCleanup cleanup;
    ScopedRecordingDialogs dialogs;
    FakeHttpServer http;
    int posts = 0;
    http.respond = [&](const QByteArray&) {
        ++posts;
        return FakeHttpServer::response(200, "OK", Cp949::encode(QStringLiteral("200 저장되었습니다.\x03K")));
    };
    SetServerUrl(http.url(QString()));
    FrameFixture f;
    {
        TransferGate::Pass running;
        click(f.button("btnSave"));
        click(f.button("Image5"));
        f.editor->BtnClick(f.editor->btnSave());  // the closing question's save
    }
    EXPECT_EQ(posts, 0);
    EXPECT_TRUE(openPreviews().isEmpty());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(f.session().cdEditor().isEmpty());
    click(f.button("btnSave"));
    EXPECT_EQ(posts, 1);
}

TEST(WritingFrameButtons, PrintOpensThePreviewOfTheEssayPrint)
{
    PreviewCleanup cleanup;
    FrameFixture f;
    f.cells().setLineCount(30);
    SheetText::setLine(f.cells(), 0, QStringLiteral("가"));
    click(f.button("Image5"));
    const QList<TfrmPreview*> previews = openPreviews();
    ASSERT_EQ(previews.size(), 1);
    const PreparedReport& report = previews[0]->report();
    EXPECT_EQ(report.pageCount(), 2);  // 30 lines, 24 to a sheet
    const QImage page = report.renderPage(0, 1.0);
    // Below the heading line (16 units under the top margin of 36).
    EXPECT_EQ(page.pixel(72, 70), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(702, 70), qRgb(255, 255, 255));

    // On blank paper only the text band prints: the lines typed, however the memo wraps them.
    click(f.button("btn2"));
    f.mem()->setFixedWidth(60);
    f.mem()->setPlainText(QStringLiteral("한 줄은 화면에서 여러 줄로 접힌다\n둘째 줄"));
    click(f.button("Image5"));
    QList<TfrmPreview*> now = openPreviews();
    ASSERT_EQ(now.size(), 2);
    now.removeOne(previews[0]);
    const PreparedReport& text = now[0]->report();
    QStringList lines, heading;
    for (const ReportItem& item : text.pages[0].items) {
        if (const auto* line = std::get_if<ReportTextLine>(&item))
            (line->box.bottom() < 52 ? heading : lines) << line->text;
    }
    EXPECT_EQ(lines, QStringList({"한 줄은 화면에서 여러 줄로 접힌다", "둘째 줄"}));
    ASSERT_EQ(heading.size(), 3);
    EXPECT_TRUE(heading[1].startsWith(QStringLiteral("학번 "))) << heading[1].toStdString();
    EXPECT_TRUE(heading[2].endsWith(QStringLiteral("1 / 1"))) << heading[2].toStdString();
}

TEST(WritingFrameButtons, DiscussionButtonOpensTheLecturesDiscussionPage)
{
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    // The address as the course page writes it into the launch file, with the run's token.
    QBuffer launch;
    DownloadToStream(server.launchUrl("S001", Demo::kLectureKey), launch);
    const QString address = Cp949::decode(launch.data()).split(QChar(0x03)).value(10);
    ASSERT_TRUE(address.startsWith(server.url() + "/discussion/" + Demo::kLectureKey + "?t=")) << address.toStdString();
    FrameFixture f(FrameFixture::fields() << address);
    ASSERT_TRUE(f.button("btnAG")->isVisible());
    QString url;
    WhenBrowserPageLoaded([&](QDialog* window, QObject* web) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("토의사항"));
        url = web->property("url").toUrl().toString();
    });
    click(f.button("btnAG"));
    EXPECT_EQ(url, address);
}
