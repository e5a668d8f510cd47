#pragma once

#include "document/CorrectionRecord.h"

class TSorCustomBoard;
class TBoardItems;

// The board's side of storing and restoring a page: its items as mark rows and back.
namespace BoardPage {

// The items in list order.
QList<CorrectionRecord::MarkRow> Marks(const TBoardItems& items);

// Replaces the board's items with the marks, in order, without raising OnItemAdd (restored
// items are not placed by the teacher), then redraws. A stored tool ordinal that no
// TDrawTool can hold restores as dtNone, which draws nothing.
void Restore(TSorCustomBoard& board, const QList<CorrectionRecord::MarkRow>& marks);

}
