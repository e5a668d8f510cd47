#pragma once

#include <QString>

class ManuscriptGrid;

// What the writing frame shows about an essay: its length in characters and the time
// spent writing it.
namespace EssayMeasures {

// Columns 1 to 20 of every line in reading order, a blank cell as one space, without the
// blanks before the first and after the last written cell. The margin is not counted.
QString CollectGridText(const ManuscriptGrid& grid);
// Characters on manuscript paper: every written cell's characters, every blank cell
// between them one.
int CountGridCharacters(const ManuscriptGrid& grid);
// Characters of blank paper, a line break counting as CR LF (two).
int CountMemoCharacters(const QString& plainText);
// "1,523 자": thousands grouped, no decimals.
QString CountText(int count);
// "HH:MM:SS"; whole days are dropped, a negative span (the clock set back) shows as zero.
QString ElapsedText(qint64 seconds);

}
