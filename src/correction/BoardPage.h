#pragma once

#include "document/CorrectionRecord.h"

#include <QImage>

class TSorCustomBoard;
class TBoardItems;

// The board as a view of a page's marks: its items made from mark rows and read back.
namespace BoardPage {

// The items in list order.
QList<CorrectionRecord::MarkRow> Marks(const TBoardItems& items);

// Replaces the board's items with the marks, in order (a page shown), then redraws. A
// stored tool ordinal that no TDrawTool can hold restores as dtNone, which draws nothing.
void Restore(TSorCustomBoard& board, const QList<CorrectionRecord::MarkRow>& marks);

// Brings the board's items to the marks after an edit of the page shown: items that stay
// are changed in place, so the selection and the items the board holds stay; a new last
// mark is added and drawn at once; marks gone take their items with them.
void Show(TSorCustomBoard& board, const QList<CorrectionRecord::MarkRow>& marks);

// The marks drawn over `page`, a page rendered at any pixel ratio, at the page's own
// resolution: marks print as sharp as the page under them.
QImage DrawMarks(QImage page, const QList<CorrectionRecord::MarkRow>& marks);

}
