#include "Essays.h"
#include "Typist.h"
#include "correction/MemoText.h"
#include "correction/TeacherBank.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "server/CourseStore.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "support/CourseServerProcess.h"
#include "support/HttpClient.h"
#include "support/NginxBalancer.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

using W = TeacherWidgets;

// A course site that knows only the original protocol: the course server behind nginx, which
// answers every /api/ address with its own 404 page. The client runs against nginx. Checks of
// what such a site must not show, and of what must still work, belong here.
class PlainSiteRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int port = FreeLoopbackPort();
        site = QStringLiteral("http://127.0.0.1:%1").arg(port);
        server = std::make_unique<CourseServerProcess>(QString(), QStringList{QStringLiteral("--trusted-proxy"),
                                                                              QStringLiteral("127.0.0.1"),
                                                                              QStringLiteral("--public-url"), site});
        server->start();
        nginx = std::make_unique<NginxBalancer>(std::vector<int>{QUrl(server->url()).port()},
                                                QStringLiteral("    location /api/ { return 404; }\n"), port);
        QFile ini(config.filePath(QStringLiteral("dozoruderado.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[CONFIG]\r\nURL=" + site.toLatin1().toBase64() + "\r\n");
    }

    CourseStore store() const
    {
        return CourseStore((server->dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    }

    // The demo lecture's essay, as the student's client would have saved it.
    void saveDemoEssay() const
    {
        DataSet essay = Essays::Manuscript(30);
        store().saveEssay({CourseServerProcess::kStudentNo,
                           CourseServerProcess::kLectureKey,
                           "가을",
                           "N",
                           EssayRecord::toPacket(essay).toStdString(),
                           {},
                           {}});
    }

    // A GET through nginx, signed in as the demo teacher (or the demo student).
    HttpClient::Answer get(const std::string& path, bool asStudent = false) const
    {
        HttpClient client(nginx->port());
        const std::string authorization =
            asStudent ? HttpClient::basic(CourseServerProcess::kStudentNo, CourseServerProcess::kStudentPassword)
                      : HttpClient::basic(CourseServerProcess::kTeacherNo, CourseServerProcess::kTeacherPassword);
        return client.get(path, {{"Authorization", authorization}});
    }

    // The client started on a launch file of the course page, downloaded through nginx.
    void openRun(const std::string& launchPath, bool asStudent = false)
    {
        const HttpClient::Answer launch = get(launchPath, asStudent);
        ASSERT_EQ(launch.status, 200) << launch.body;
        const QString path = config.filePath(QStringLiteral("run.dzl"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(launch.body));
        file.close();
        window = StartClient({QStringLiteral("dozoruderado"), path}, config.path());
        ASSERT_TRUE(window);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QString site;
    std::unique_ptr<CourseServerProcess> server;
    std::unique_ptr<NginxBalancer> nginx;
    QTemporaryDir config;
    ScopedRecordingDialogs dialogs;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(PlainSiteRun, ATeacherRunShowsNoQueueBankOrStatisticsAndSavesAsBefore)
{
    saveDemoEssay();
    for (const char* path : {"/api/queue/DEMO0001", "/api/bank/DEMO0001", "/api/stats/DEMO0001"})
        ASSERT_EQ(get(path).status, 404) << path;
    ASSERT_NO_FATAL_FAILURE(openRun("/launch/T001/DEMO0001.dzl"));
    TfmeTeacher& frame = *window->FTeacher;

    EXPECT_FALSE(frame.QueueBar()->isVisible());
    EXPECT_FALSE(frame.QueueBar()->Queue());
    EXPECT_FALSE(frame.Bank().bank());
    EXPECT_FALSE(frame.Bank().btnBank->isVisible());
    EXPECT_FALSE(W::Find<QPushButton>(frame, "btnErrorStats")->isVisible());
    QDir bankCopies(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    + QStringLiteral("/dozoruderado/bank"));
    EXPECT_TRUE(bankCopies.isEmpty()) << "no copy of a bank the site does not offer";
    EXPECT_TRUE(W::Find<QLabel>(frame, "lblNotice")->text().isEmpty());

    W widgets(frame);
    widgets.Memo1->setFocus();
    TypeText(widgets.Memo1, QStringLiteral("문단을 잘 나누었습니다."));
    // Alt+Right does nothing where there is no queue.
    QTest::keyClick(widgets.Memo1, Qt::Key_Right, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_EQ(window->FTeacher, &frame);
    widgets.btnSave->click();

    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    EXPECT_FALSE(frame.Session().Modified());
    const std::optional<std::string> stored = store().correction(CourseServerProcess::kLectureKey);
    ASSERT_TRUE(stored);
    DataSet work(CorrectionRecord::fields());
    work.loadPacket(QByteArray::fromStdString(*stored));
    EXPECT_EQ(CorrectionRecord::readSummary(work)->review.trimmed(), QStringLiteral("문단을 잘 나누었습니다."));
}

// The student's viewing run of the corrected essay: no statistics, the correction as saved.
TEST_F(PlainSiteRun, AViewingRunShowsNoStatistics)
{
    saveDemoEssay();
    DataSet correction = Essays::BoardCorrection({{1, {Essays::Mark(11, 40)}, QStringLiteral("잘 썼습니다.")}});
    CorrectionSave save{CourseServerProcess::kTeacherNo, CourseServerProcess::kLectureKey,
                        CourseServerProcess::kStudentNo, CorrectionRecord::toPacket(correction).toStdString()};
    save.reportPoint = "80";
    save.submit = "N";
    store().saveCorrection(save);
    ASSERT_NO_FATAL_FAILURE(openRun("/launch/C001/DEMO0001.dzl", true));
    ASSERT_TRUE(window->FTeacher);
    EXPECT_FALSE(W::Find<QPushButton>(*window->FTeacher, "btnErrorStats")->isVisible());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

}
