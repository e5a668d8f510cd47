#pragma once

#include <QRect>

class QPainter;

// The checkers' marks over a painted manuscript cell (CellNotes::Mark flags): a small
// triangle in the top right corner of the box for a manuscript-paper rule, a wavy line in
// the gap under the box for a misspelt word.
void DrawCellMarks(QPainter& painter, const QRect& cell, int marks);
