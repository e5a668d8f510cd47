#pragma once

#include "dataset/DataSet.h"

#include <QStringList>
#include <optional>

// The correction record: one teacher's correction of one essay, a flat row set of one
// schema. A board correction holds mark rows (one board item each, NType 1), page rows
// (PAGE and the page comment M2) and summary rows (the review M1 and the points p1 to p8);
// a handwritten correction holds image rows (NType 2, one scanned page each, in page order).
//
// This side knows rows only. The correction frame turns board items into MarkRow values
// and back (correction/BoardPage.h), so the record needs no board.
namespace CorrectionRecord {

inline constexpr int kFontNameSize = 20;
inline constexpr int kStringsSize = 255;
inline constexpr int kShortSize = 20;  // ImageType, PAGE, p1 to p9, reportPoint
inline constexpr int kPointCount = 7;  // p1 to p7: the score column of sheet rows 1 to 7
inline constexpr qint32 kMarkRow = 1;
inline constexpr qint32 kImageRow = 2;

// Top, Left, Right, Bottom, FontSize, FontName, FontColor, Strings, DrawTool, Image,
// ImageType, M1, M2, NType, Key, PAGE, p1 to p9, reportPoint, in this order.
QList<FieldDef> fields();

// "PAGE" followed by the page number, no space, no leading zeros.
QString pageKey(int pageNumber);

// A record whose first row is an image row; an empty record is a board correction.
// Leaves the cursor on the first row.
bool isHandwritten(DataSet& record);

// One board item as a mark row keeps it. Number is not kept.
struct MarkRow {
    qint32 top = 0;
    qint32 left = 0;
    qint32 right = 0;
    qint32 bottom = 0;
    qint32 fontSize = 0;
    QString fontName;
    qint32 fontColor = 0;
    QString strings;
    qint32 drawTool = 0;
    qint32 key = 0;
    QString reportPoint;

    bool operator==(const MarkRow&) const = default;
};

struct Page {
    QList<MarkRow> marks;  // in the order the rows stand
    QString comment;       // M2 of the last row of the page that has one
};

// Replaces every row of the page by one mark row per item, in order, then the page row
// with the comment, and merges the change log. Leaves the record ordered by PAGE with no
// range.
void storePage(DataSet& work, const QString& key, const QList<MarkRow>& marks, const QString& comment);
// The page's marks and comment; a page without rows gives neither. Leaves the record
// ordered by PAGE with no range.
Page loadPage(DataSet& work, const QString& key);

// The review, the score column of sheet rows 1 to 7 and the length deduction.
struct Summary {
    QString review;
    QStringList points;  // p1 to p7, as shown
    bool deduction = false;
};

// From the first row with a review, else the last row; nothing on an empty record. The
// deduction holds exactly when p8 is "TRUE", compared with case.
std::optional<Summary> readSummary(DataSet& work);

// The record to send: a copy of the working copy without any earlier summary row, the new
// summary row last. Every earlier summary row goes, an empty review's included, so saving
// many times never piles up stale summaries.
void writeSummary(DataSet& record, const DataSet& work, const Summary& summary);

// Merges the change log and gives the XML packet.
QByteArray toPacket(DataSet& record);

}
