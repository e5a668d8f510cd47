#include "net/ReplyText.h"

#include "text/TrimControls.h"

ReplyText SplitReply(const QString& text)
{
    ReplyText reply;
    reply.status = text.left(3);
    const QString rest = text.mid(4);
    const qsizetype mark = rest.indexOf(QChar(0x03));
    if (mark < 0) {
        reply.value = TrimControls(rest);
    } else {
        reply.message = rest.left(mark);
        reply.value = TrimControls(rest.mid(mark + 1));
    }
    return reply;
}
