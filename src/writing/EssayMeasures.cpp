#include "writing/EssayMeasures.h"

#include "document/ManuscriptGrid.h"
#include "writing/CellEditorEngine.h"

#include <QLocale>

namespace EssayMeasures {

QString CollectGridText(const ManuscriptGrid& grid)
{
    QString text;
    text.reserve(qsizetype(grid.lineCount()) * ManuscriptGrid::kLastCellColumn * 2);
    for (int line = 0; line < grid.lineCount(); ++line) {
        for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kLastCellColumn; ++column) {
            const QString cell = grid.cell(line, column);
            if (cell.isEmpty())
                text += u' ';
            else
                text += cell;
        }
    }
    return CellEditorEngine::TrimCell(text);
}

int CountGridCharacters(const ManuscriptGrid& grid)
{
    return int(grid.writingTextLength());
}

int CountMemoCharacters(const QString& plainText)
{
    return int(plainText.size() + plainText.count(u'\n'));
}

QString CountText(int count)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(count) + QStringLiteral(" 자");
}

QString ElapsedText(qint64 seconds)
{
    const qint64 s = std::max<qint64>(0, seconds) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}
