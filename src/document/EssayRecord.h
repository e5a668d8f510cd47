#pragma once

#include "dataset/DataSet.h"

#include <optional>

class ManuscriptGrid;

// The essay record: one table, the same schema for the three kinds of paper. A manuscript
// is stored column by column: L1 to L21 each hold one text line per manuscript line, each
// line followed by CR LF. Blank paper keeps its text in LText; scanned pages are one row
// each with the JPEG bytes in LImage.
namespace EssayRecord {

enum PaperKind : qint16 { Manuscript = 1, BlankPaper = 2, ScannedPages = 3 };

inline constexpr int kUserIdSize = 20;
inline constexpr int kImageTypeSize = 20;
// The most manuscript lines, or text lines of blank paper, a record may hold (a course essay
// needs under a hundred); the course server refuses records past it and the client does not
// lay them out.
inline constexpr int kMaxLines = 2000;
// Raises AppError with a message when the text has more than kMaxLines lines.
void requireLayableLines(qsizetype lines);

// USER_ID, NType, L1 to L21, LText, LImage, LImageType, in this order.
QList<FieldDef> fields();
// "L1" to "L21", the field of manuscript column 1 to 21.
QString lineField(int column);

// Both empty the record and leave one posted row. The student number is cut to 20 bytes.
void writeManuscript(DataSet& record, const QString& studentNo, const ManuscriptGrid& grid);
void writeBlankPaper(DataSet& record, const QString& studentNo, const QString& text);
// Merges the change log and gives the XML packet; scanned pages go out as they came in.
QByteArray toPacket(DataSet& record);

// Replaces the record's content and goes to the first row.
void load(DataSet& record, QByteArrayView packet);
// NType of the current row, or nothing when the record has no rows (the kind in force
// then stays). Blank paper reads its text as record.asString("LText").
std::optional<int> paperKind(const DataSet& record);

// The current row onto the grid: as many lines as L1 has text lines, never fewer than 21;
// a field with fewer lines leaves the rest of its column blank, lines past the count are
// dropped, and an empty text line becomes a single space. Raises AppError past kMaxLines.
void toGrid(const DataSet& record, ManuscriptGrid& grid);
// One row per manuscript line of the current row, appended to `target`, whose L1 to L21
// receive the cells of the line; a target with an NType field gets the record's kind.
void appendLineRows(const DataSet& record, DataSet& target);

// Text lines of a memo: broken at CR LF, LF or CR; a final break ends the last line and
// does not start another.
QStringList textLines(const QString& memo);

}
