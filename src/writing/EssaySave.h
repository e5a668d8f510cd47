#pragma once

#include "net/ReplyText.h"
#include "net/UploadForm.h"

// The student's save without widgets: the form it posts and what the reply means.
namespace EssaySave {

struct Identity {
    QString studentNo;
    QString password;
    QString lectureKey;  // empty for an essay the server does not know yet
    QString title;
    QString baseRevision;  // the stored revision the paper started from; empty: unknown
};

// The seven parts of a student save, in order: "flag" "S002", "student_no", "password",
// "lecturekey", "submit" "N", "title", and the record's packet as the file "Editor";
// then "base_revision" when the base is known.
UploadForm form(const Identity& who, const QByteArray& packet);

// The lecture key after the server's reply: its value when the save was accepted and the
// value is not blank, else the key as it was. A refusal raises SaveRefused with the server's
// message (a message naming the status when the server gave none).
QString lectureKeyAfter(const QString& lectureKey, const ReplyText& reply);

}
