#pragma once

#include "dataset/FieldDef.h"

// The fields of the print datasets, emptied and refilled for every print.
namespace PrintDataSets {

inline constexpr int kCellSize = 20;  // L1 to L20, PAGE
inline constexpr int kReviewLineSize = 255;

// cdPrint of the writing frame: L1 to L20 the cells of a manuscript line, L21 its margin
// cell, LText one line of blank-paper text, LImage one scanned page.
QList<FieldDef> essayPrint();
// cdPrint of the correction frame: the same, with LC (the correction column, printed
// empty) and PAGE.
QList<FieldDef> correctionPrint();
// cdPrint2 of the correction frame: L1, one displayed line of the overall review.
QList<FieldDef> reviewPrint();

}
