#include "correction/FitMarkToText.h"

#include "text/Cp949.h"

#include <QStringList>

void FitMarkToText(CorrectionRecord::MarkRow& mark, const std::function<QSize(const QString& line)>& measure)
{
    QStringList lines = mark.strings.split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return;
    QString longest = lines.first();
    for (const QString& line : lines)
        if (Cp949::byteLength(line) > Cp949::byteLength(longest))
            longest = line;
    const QSize size = measure(longest);
    mark.right = mark.left + size.width() + 4;
    mark.bottom = mark.top + size.height() * int(lines.size()) + 4;
}
