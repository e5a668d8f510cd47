#pragma once

#include "dataset/DataSet.h"
#include "document/CorrectionRecord.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QStringList>

// Essay records for the correction tests.
namespace Essays {

// A manuscript of `lines` lines: cells 1 to 20 of line i hold CellText(i, c), the margin a blank.
DataSet Manuscript(int lines);
// Blank paper with the given text.
DataSet BlankPaper(const QString& text);
// Blank paper of `lines` short lines: (lines div 30) + 1 pages.
DataSet LongBlankPaper(int lines);
// One scanned page per picture.
DataSet Scanned(const QList<QImage>& pages);
// A mark row of the given tool over `box`, in 굴림체 10, stamped 4242; the second form's box
// is 40 wide from `left`, from y 40 to 80.
CorrectionRecord::MarkRow Mark(int tool, QRect box, const QString& text = {});
CorrectionRecord::MarkRow Mark(int tool, int left, const QString& text = {});

// A page of a board correction: its number, marks and comment.
struct StoredPage {
    int page;
    QList<CorrectionRecord::MarkRow> marks;
    QString comment;
};
// A board correction as the frame saves it: an empty page 0, the given pages, the summary.
DataSet BoardCorrection(const QList<StoredPage>& pages, const CorrectionRecord::Summary& summary = {});

// A handwritten correction: one image row per picture, as the client stores them.
DataSet HandwrittenCorrection(const QList<QImage>& pages);
// The kind forced to a value, with one row and no text.
DataSet OfKind(int kind);

// A plain picture of one colour.
QImage Picture(QSize size, QColor colour);

// The character in cell (line, column) of Manuscript().
QString CellText(int line, int column);

}
