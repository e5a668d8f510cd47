#include "writing/EssaySave.h"

#include "core/AppError.h"

namespace EssaySave {

UploadForm form(const Identity& who, const QByteArray& packet)
{
    UploadForm form;
    form.AddTextPart(QStringLiteral("flag"), QStringLiteral("S002"));
    form.AddTextPart(QStringLiteral("student_no"), who.studentNo);
    form.AddTextPart(QStringLiteral("password"), who.password);
    form.AddTextPart(QStringLiteral("lecturekey"), who.lectureKey);
    // Every save of a student run is a temporary one; the course site finalises.
    form.AddTextPart(QStringLiteral("submit"), QStringLiteral("N"));
    form.AddTextPart(QStringLiteral("title"), who.title);
    form.AddDataPart(QStringLiteral("file"), QStringLiteral("multipart/form-data"), QStringLiteral("Editor"), packet);
    if (!who.baseRevision.isEmpty())
        form.AddTextPart(kBaseRevisionPart, who.baseRevision);
    return form;
}

QString lectureKeyAfter(const QString& lectureKey, const ReplyText& reply)
{
    if (!reply.accepted()) {
        const QString message = reply.message.trimmed();
        throw SaveRefused(
            message.isEmpty()
                ? QStringLiteral("서버가 감상문을 저장하지 않았습니다 (상태 %1). 잠시 뒤에 다시 저장하십시오.")
                      .arg(reply.status)
                : message);
    }
    return reply.value.isEmpty() ? lectureKey : reply.value;
}

}
