#pragma once

#include "writing/CellEditorHost.h"

#include <QList>
#include <QString>

class SheetSnapshot;

// The words of a sheet as spelling sees them: the writing cells in reading order, a margin
// cell when it holds text, so that a word goes on across the edge of a line; blank cells
// and punctuation end a word. Only words of Hangul syllables are given: the dictionary
// accepts any Latin word, and digits are no words.
struct SheetWord {
    QString text;
    QList<CellPos> cells;  // each cell the word's characters stand in, once, in order
    // Where the word continues on the next line: the index of the first character there,
    // or -1 for a word on one line. The edge may hide a word gap.
    qsizetype lineBreakAt = -1;
};

QList<SheetWord> SheetWords(const SheetSnapshot& sheet);
