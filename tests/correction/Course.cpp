#include "Course.h"

#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "net/ReplyText.h"
#include "net/Transport.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

CourseServerProcess* Course::server = nullptr;

namespace {

ReplyText Post(const UploadForm& form)
{
    const ReplyText reply = SplitReply(PostForm(form));
    if (!reply.accepted())
        throw AppError(QStringLiteral("course-server refused the form: %1 %2").arg(reply.status, reply.message));
    return reply;
}

}

void Course::Start()
{
    server = new CourseServerProcess;
    server->start();
    SetServerUrl(server->url());
}

void Course::Stop()
{
    server->stop();
    delete server;
    server = nullptr;
}

QString Course::PostEssay(DataSet& essay)
{
    UploadForm form;
    form.AddTextPart("flag", "S002");
    form.AddTextPart("student_no", CourseServerProcess::kStudentNo);
    form.AddTextPart("password", CourseServerProcess::kStudentPassword);
    form.AddTextPart("lecturekey", "");
    form.AddTextPart("submit", "N");
    form.AddTextPart("title", "우리 동네 도서관에 다녀와서");
    form.AddDataPart("file", "multipart/form-data", "Editor", EssayRecord::toPacket(essay));
    return Post(form).value;
}

void Course::PostCorrection(const QString& key, DataSet& correction)
{
    QImage thumbnail(20, 20, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    UploadForm form;
    form.AddTextPart("flag", "T002");
    form.AddTextPart("teacher_no", CourseServerProcess::kTeacherNo);
    form.AddTextPart("password", CourseServerProcess::kTeacherPassword);
    form.AddTextPart("lecturekey", key);
    form.AddTextPart("student_no", CourseServerProcess::kStudentNo);
    form.AddDataPart("file", "multipart/form-data", "Teacher", CorrectionRecord::toPacket(correction));
    form.AddDataPart("thumbnail", "multipart/form-data", "thumStream", Jpeg::encode(thumbnail));
    form.AddTextPart("report_point", "85");
    form.AddTextPart("submit", "N");
    Post(form);
}

QString Course::EssayUrl(const QString& key)
{
    return CourseServerProcess::asDemoStudent(server->url() + "/essay/" + key);
}

QString Course::CorrectionUrl(const QString& key)
{
    return CourseServerProcess::asDemoStudent(server->url() + "/correction/" + key);
}

QString Course::DiscussionUrl()
{
    return CourseServerProcess::asDemoStudent(server->url() + "/discussion/" + CourseServerProcess::kLectureKey);
}

QStringList Course::TeacherFields(const QString& key, bool hasCorrection)
{
    return {"T001",
            CourseServerProcess::kTeacherNo,
            CourseServerProcess::kTeacherPassword,
            hasCorrection ? "1" : "0",
            key,
            CourseServerProcess::kStudentNo,
            EssayUrl(key),
            CorrectionUrl(key),
            "1",
            "우리 동네 도서관에 다녀와서",
            "85",
            DiscussionUrl(),
            "Y"};
}

QStringList Course::ViewFields(const QString& key)
{
    return {"C001",
            CourseServerProcess::kTeacherNo,
            "",
            "1",
            key,
            EssayUrl(key),
            CorrectionUrl(key),
            "우리 동네 도서관에 다녀와서",
            "85",
            DiscussionUrl(),
            "Y"};
}

std::unique_ptr<TfmeTeacher> Course::ShownFrame()
{
    auto frame = std::make_unique<TfmeTeacher>(nullptr);
    frame->resize(1000, 690);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    return frame;
}
