#pragma once

#include "net/ReplyText.h"

#include <QByteArray>
#include <QString>

class UploadForm;

// The teacher's submission of a correction ("T002"): who sends it, for which lecture and
// student, the correction record, its thumbnail and the total.
struct TeacherSubmission {
    QString teacherNo;
    QString password;
    QString lectureKey;
    QString studentNo;
    QByteArray record;     // the correction record as the XML data packet
    QByteArray thumbnail;  // JPEG
    QString reportPoint;   // the total box's text
    QString baseRevision;  // the stored revision the correction started from; empty: unknown
};

// The nine parts in the order the server reads them, every value as it stands; "submit"
// is always "N": the teacher's save keeps the correction open. Then "base_revision" when
// the base is known.
UploadForm TeacherForm(const TeacherSubmission& submission);

// Posts the form and gives the server's reply: its status and its message, the text after
// the four status characters up to the first 0x03, empty when there is none. A failed
// exchange raises the transport's error. `revision` receives the revision the server says
// it stored, empty when it names none.
ReplyText PostTeacherForm(const TeacherSubmission& submission, QString* revision = nullptr);
