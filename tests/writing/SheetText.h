#pragma once

#include "document/ManuscriptGrid.h"
#include "support/QStringPrinter.h"

#include <QString>
#include <QStringList>

// A manuscript line written compactly: one character per cell for columns 1 to 20, "_" for
// a blank cell, "[ab]" for a cell of several characters, and "|" followed by the margin
// cell's text. Trailing blank cells are left out: "가나_다|." is 가, 나, blank, 다, and "."
// in the margin.
namespace SheetText {

inline QString line(const ManuscriptGrid& grid, int line)
{
    QString out;
    for (int column = 1; column <= 20; ++column) {
        const QString text = grid.cell(line, column);
        if (grid.isBlank(line, column))
            out += u'_';
        else if (text.size() == 1)
            out += text;
        else
            out += u'[' + text + u']';
    }
    while (out.endsWith(u'_'))
        out.chop(1);
    if (!grid.isBlank(line, 21))
        out += u'|' + grid.cell(line, 21);
    return out;
}

inline void setLine(ManuscriptGrid& grid, int line, const QString& text)
{
    int column = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'|') {
            grid.setCell(line, 21, text.mid(i + 1));
            return;
        }
        if (c == u'[') {
            const qsizetype end = text.indexOf(u']', i);
            grid.setCell(line, column++, text.mid(i + 1, end - i - 1));
            i = end;
        } else {
            grid.setCell(line, column++, c == u'_' ? QString() : QString(c));
        }
    }
}

// Every line that is not blank, as "line: text".
inline QStringList dump(const ManuscriptGrid& grid)
{
    QStringList lines;
    for (int l = 0; l < grid.lineCount(); ++l) {
        const QString text = line(grid, l);
        if (!text.isEmpty())
            lines.append(QString::number(l) + QStringLiteral(": ") + text);
    }
    return lines;
}

// n distinct Hangul syllables starting from the k-th after 가: lines whose every cell can
// be told apart.
inline QString syllables(int k, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(0xAC00 + (k + i) * 3);
    return s;
}

}
