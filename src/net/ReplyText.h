#pragma once

#include "core/AppError.h"

#include <QString>

// The server's answer to a form: "200" (accepted) or another status, one separator,
// a message up to the first 0x03, and a value after it.
struct ReplyText {
    QString status;
    QString message;
    QString value;

    bool accepted() const { return status == QStringLiteral("200"); }
};

// Characters 1 to 3 are the status; from character 5 on, the text up to the first 0x03 is
// the message and the rest the value. Without a 0x03 the message is empty and the whole
// rest is the value. The value loses leading and trailing characters of code 32 or less.
ReplyText SplitReply(const QString& text);

// A save the server answered and did not store (a reply other than "200"): the work is
// only on this computer, and saving it again as it is will not help.
class SaveRefused : public AppError {
public:
    using AppError::AppError;
};

// The form part naming the stored revision a save started from ("0": none), sent only when
// the course site hands out revisions; a site that does not know it ignores it.
inline const QString kBaseRevisionPart = QStringLiteral("base_revision");
