// The closing question with the program's real boxes, answered by a timer: a save that
// fails keeps the window and the work; No closes without saving.
#include "ShellFixture.h"
#include "core/Endpoint.h"
#include "correction/TfmeTeacher.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "support/CourseServerProcess.h"
#include "support/ModalBoxes.h"
#include "ui/DialogService.h"
#include "ui/PictureButton.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Demo = CourseServerProcess;

// The student's essay stored for the demo lecture, so that the teacher has pages to correct.
void storeStudentEssay()
{
    ManuscriptGrid grid(21);
    grid.setCell(0, 1, QStringLiteral("가"));
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, Demo::kStudentNo, grid);
    UploadForm form;
    form.AddTextPart("flag", "S002");
    form.AddTextPart("student_no", Demo::kStudentNo);
    form.AddTextPart("password", Demo::kStudentPassword);
    form.AddTextPart("lecturekey", Demo::kLectureKey);
    form.AddTextPart("submit", "N");
    form.AddTextPart("title", "제목");
    form.AddDataPart("file", "multipart/form-data", "Editor", EssayRecord::toPacket(record));
    ASSERT_TRUE(PostForm(form).startsWith("200"));
}

struct ClosingRun {
    const char* name;
    std::function<QStringList(const CourseServerProcess&)> fields;
    std::function<void(TfrmMain&)> makeWork;  // unsaved work in the window's frame
    std::function<QString(TfrmMain&)> work;   // what of it a test compares
    QString expected;
};

void typeOnSheet(TfrmMain& window)
{
    QWidget* edt = window.FEditor->findChild<QWidget*>(QStringLiteral("edt"));
    edt->setFocus();
    for (const QString& text : {QStringLiteral("봄"), QStringLiteral("날")}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edt, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edt, &release);
    }
    window.FEditor->session().TimerTimer();
}

QString sheetAndTime(TfrmMain& window)
{
    const WritingSession& session = window.FEditor->session();
    return session.grid().cell(0, 1) + session.grid().cell(0, 2)
           + (session.TimerTicked() ? QStringLiteral(", time unsaved") : QString());
}

class ClosingQuestion : public ::testing::Test {
protected:
    void SetUp() override { previous_ = DialogService::replace(std::make_unique<MessageBoxDialogService>()); }
    void TearDown() override { DialogService::replace(std::move(previous_)); }

private:
    std::unique_ptr<DialogService> previous_;
};

}

TEST_F(ClosingQuestion, YesWithTheServerDownKeepsTheWindowAndTheWorkNoCloses)
{
    const ClosingRun runs[] = {
        {"student",
         [](const CourseServerProcess&) {
             return QStringList{
                 "S001", Demo::kStudentNo, Demo::kStudentPassword, "0", Demo::kLectureKey, "", "1", "제목", "0", "0"};
         },
         typeOnSheet, sheetAndTime, QStringLiteral("봄날, time unsaved")},
        {"teacher",
         [](const CourseServerProcess& server) {
             return QStringList{"T001",
                                Demo::kTeacherNo,
                                Demo::kTeacherPassword,
                                "0",
                                Demo::kLectureKey,
                                Demo::kStudentNo,
                                CourseServerProcess::asDemoStudent(server.url() + "/essay/" + Demo::kLectureKey),
                                "",
                                "1",
                                "제목",
                                "85"};
         },
         [](TfrmMain& window) { window.FTeacher->Session().SetModified(true); },
         [](TfrmMain& window) {
             return window.FTeacher->Session().Modified() ? QStringLiteral("modified") : QString();
         },
         QStringLiteral("modified")},
    };
    for (const ClosingRun& run : runs) {
        SCOPED_TRACE(run.name);
        CourseServerProcess server;
        server.start();
        SetServerUrl(server.url());
        ASSERT_NO_FATAL_FAILURE(storeStudentEssay());
        ShellFixture fixture;
        fixture.write("dozoruderado.ini", "[CONFIG]\nURL=" + server.url().toUtf8().toBase64() + "\n");
        ModalBoxes boxes;
        auto window = fixture.start(fixture.launchFile("run.dzl", run.fields(server)));
        window->show();
        QTest::qWait(100);
        ASSERT_TRUE(boxes.texts.isEmpty()) << "the set-up said " << boxes.texts.join('|').toStdString();
        run.makeWork(*window);
        ASSERT_EQ(run.work(*window), run.expected);
        QPointer<TfrmMain> alive = window.get();
        server.stop();

        boxes.answers = {QMessageBox::Yes, QMessageBox::Ok};
        EXPECT_FALSE(window->close());
        ASSERT_TRUE(boxes.waitFor(2));
        QApplication::processEvents();
        ASSERT_TRUE(alive);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("저장하시겠습니까?"));
        EXPECT_TRUE(boxes.texts[1].contains(QStringLiteral("통신하지 못했습니다"))) << boxes.texts[1].toStdString();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(run.work(*window), run.expected) << "the work is as it was";

        boxes.answers = {QMessageBox::No};
        EXPECT_TRUE(window->close());
        QTest::qWait(100);
        EXPECT_EQ(boxes.texts.mid(2), QStringList{QStringLiteral("저장하시겠습니까?")}) << "nothing after No";
        EXPECT_FALSE(window->isVisible());
    }
}

// 취소 keeps the window and its work; the buttons speak Korean; a new title alone is a change.
TEST_F(ClosingQuestion, CancelKeepsTheWindowAndANewTitleCountsAsAChange)
{
    CourseServerProcess server;
    server.start();
    ShellFixture fixture;
    fixture.write("dozoruderado.ini", "[CONFIG]\nURL=" + server.url().toUtf8().toBase64() + "\n");
    ModalBoxes boxes;
    auto window = fixture.start(fixture.launchFile("run.dzl", {"S001", Demo::kStudentNo, Demo::kStudentPassword, "0",
                                                               Demo::kLectureKey, "", "1", "제목", "0", "0"}));
    window->show();
    QTest::qWait(100);
    QTest::keyClicks(window->txtTitle, QStringLiteral(" 2"));
    ASSERT_TRUE(window->FEditor->session().Modified());

    QStringList buttons;
    boxes.inspect = [&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            buttons << button->text().remove(QStringLiteral("(&Y)")).remove(QStringLiteral("(&N)")).remove(u'&');
    };
    boxes.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(window->close());
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("저장하시겠습니까?")});
    EXPECT_TRUE(buttons.contains(QStringLiteral("예")) && buttons.contains(QStringLiteral("아니요"))
                && buttons.contains(QStringLiteral("취소")))
        << buttons.join(u' ').toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->FEditor->session().Title(), QStringLiteral("제목 2"));

    boxes.answers = {QMessageBox::No};
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

// Closing while a save is being sent waits for it: the save arrives whole, then the window
// closes without asking again.
TEST_F(ClosingQuestion, ClosingDuringASaveWaitsForIt)
{
    QTcpServer slow;
    ASSERT_TRUE(slow.listen(QHostAddress::LocalHost));
    QByteArray request;
    QObject::connect(&slow, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = slow.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, [&request, socket] {
            request += socket->readAll();
            if (!request.endsWith("--\r\n"))
                return;
            // The reply comes a second later, while the person has closed the window.
            QTimer::singleShot(1000, socket, [socket] {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n200 x");
                socket->disconnectFromHost();
            });
        });
    });
    ShellFixture fixture;
    fixture.write("dozoruderado.ini",
                  "[CONFIG]\nURL=" + QStringLiteral("http://127.0.0.1:%1").arg(slow.serverPort()).toUtf8().toBase64()
                      + "\n");
    ModalBoxes boxes;
    auto window = fixture.start(fixture.launchFile("run.dzl", {"S001", Demo::kStudentNo, Demo::kStudentPassword, "0",
                                                               Demo::kLectureKey, "", "1", "제목", "0", "0"}));
    window->show();
    typeOnSheet(*window);
    QPointer<TfrmMain> alive = window.get();

    bool closedDuringSave = true;
    QTimer::singleShot(300, [&] { closedDuringSave = window->close(); });
    window->FEditor->BtnClick(window->FEditor->btnSave());
    EXPECT_FALSE(closedDuringSave) << "the window stays while the save is sent";
    EXPECT_TRUE(request.contains("name=\"file\"")) << "the save arrived whole";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000)) << "and then it closes";
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}
