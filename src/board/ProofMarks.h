#pragma once

#include "board/DrawTool.h"

#include <QList>
#include <QString>

// The 28 kinds of proofreading mark, in the order of their ordinals: dt11 to dt46, dtLeft
// and dtRight. A text note, a number and the selection are no marks.
const QList<TDrawTool>& ProofMarks();
bool IsProofMark(int drawTool);

// The mark's name as the palette and the legend call it. dt13, which no button places, is
// named after dt12, whose variant it is.
QString ProofMarkName(TDrawTool tool);
