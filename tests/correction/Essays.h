#pragma once

#include "dataset/DataSet.h"

#include <QColor>
#include <QImage>
#include <QStringList>

// Essay records for the correction tests.
namespace Essays {

// A manuscript of `lines` lines: cells 1 to 20 of line i hold CellText(i, c), the margin a blank.
DataSet Manuscript(int lines);
// Blank paper with the given text.
DataSet BlankPaper(const QString& text);
// One scanned page per picture.
DataSet Scanned(const QList<QImage>& pages);
// A handwritten correction: one image row per picture, as the client stores them.
DataSet HandwrittenCorrection(const QList<QImage>& pages);
// The kind forced to a value, with one row and no text.
DataSet OfKind(int kind);

// A plain picture of one colour.
QImage Picture(QSize size, QColor colour);

// The character in cell (line, column) of Manuscript().
QString CellText(int line, int column);

}
