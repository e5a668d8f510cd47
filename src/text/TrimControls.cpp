#include "text/TrimControls.h"

QString TrimControls(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}
