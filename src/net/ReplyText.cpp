#include "net/ReplyText.h"

QString TrimControls(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

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
