#include "correction/DisplayedLines.h"

#include <QFontMetrics>
#include <QHash>

namespace {

class Advances {
public:
    explicit Advances(const QFont& font) : FMetrics(font) {}
    int of(QChar c)
    {
        auto it = FCache.constFind(c);
        if (it == FCache.cend())
            it = FCache.insert(c, FMetrics.horizontalAdvance(c));
        return *it;
    }

private:
    QFontMetrics FMetrics;
    QHash<QChar, int> FCache;
};

void Wrap(QStringView paragraph, int width, Advances& advances, QStringList& lines)
{
    qsizetype start = 0;
    while (start < paragraph.size()) {
        int x = 0;
        qsizetype afterBlank = -1;
        qsizetype i = start;
        for (; i < paragraph.size(); ++i) {
            const QChar c = paragraph[i];
            if (c == u' ') {
                x += advances.of(c);
                afterBlank = i + 1;
                continue;
            }
            const int a = advances.of(c);
            if (x + a > width && i > start)
                break;
            x += a;
        }
        qsizetype end = i;
        if (i < paragraph.size() && afterBlank > start)
            end = afterBlank;
        lines.append(paragraph.mid(start, end - start).toString());
        start = end;
    }
}

}

QStringList DisplayedLines(const QString& text, const QFont& font, int width)
{
    Advances advances(font);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text[i] != u'\r' && text[i] != u'\n')
            continue;
        const QStringView paragraph = QStringView(text).mid(start, i - start);
        if (paragraph.isEmpty())
            lines.append(QString());
        else
            Wrap(paragraph, width, advances, lines);
        if (!end && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
