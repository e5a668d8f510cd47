#pragma once

#include <QRect>
#include <QString>

class QPainter;

// Paints one cell of a manuscript sheet into `cell` (a 29 × 29 cell; column 0 is the line
// counter, 40 wide). Writing cells get a 30 × 26 box in #C8C8C8, neighbours sharing their
// vertical edge, with a 3-pixel gap under each line that the sheet's outer edges bridge,
// except after every 30th line and after the sheet's last line. Column 0 shows the number
// of writing cells above every tenth line in orange; the margin cell shows only its text.
// "," and "." are drawn left-aligned, other texts centred. Nothing else is painted: the
// surface is expected to be white.
void DrawManuscriptCell(QPainter& painter, const QRect& cell, int column, int line, const QString& text, bool lastLine);
