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
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTest>

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
             return window.FTeacher->Session().FModified() ? QStringLiteral("modified") : QString();
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
        EXPECT_EQ(boxes.texts[0], QStringLiteral("저장하시겠습니까"));
        EXPECT_TRUE(boxes.texts[1].contains(QStringLiteral("통신하지 못했습니다"))) << boxes.texts[1].toStdString();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(run.work(*window), run.expected) << "the work is as it was";

        boxes.answers = {QMessageBox::No};
        EXPECT_TRUE(window->close());
        QTest::qWait(100);
        EXPECT_EQ(boxes.texts.mid(2), QStringList{QStringLiteral("저장하시겠습니까")}) << "nothing after No";
        EXPECT_FALSE(window->isVisible());
    }
}
