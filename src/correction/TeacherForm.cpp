#include "correction/TeacherForm.h"

#include "net/Transport.h"
#include "net/UploadForm.h"

UploadForm TeacherForm(const TeacherSubmission& submission)
{
    const QString dataType = QStringLiteral("multipart/form-data");
    UploadForm form;
    form.AddTextPart(QStringLiteral("flag"), QStringLiteral("T002"));
    form.AddTextPart(QStringLiteral("teacher_no"), submission.teacherNo);
    form.AddTextPart(QStringLiteral("password"), submission.password);
    form.AddTextPart(QStringLiteral("lecturekey"), submission.lectureKey);
    form.AddTextPart(QStringLiteral("student_no"), submission.studentNo);
    form.AddDataPart(QStringLiteral("file"), dataType, QStringLiteral("Teacher"), submission.record);
    form.AddDataPart(QStringLiteral("thumbnail"), dataType, QStringLiteral("thumStream"), submission.thumbnail);
    form.AddTextPart(QStringLiteral("report_point"), submission.reportPoint);
    form.AddTextPart(QStringLiteral("submit"), QStringLiteral("N"));
    if (!submission.baseRevision.isEmpty())
        form.AddTextPart(kBaseRevisionPart, submission.baseRevision);
    return form;
}

ReplyText PostTeacherForm(const TeacherSubmission& submission, QString* revision)
{
    return SplitReply(PostForm(TeacherForm(submission), revision));
}
