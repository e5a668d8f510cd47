#pragma once

class TBoardItem;
class TCanvas;

// Sizes a text or number item to its text in the canvas's current font, its top-left
// corner fixed: the longest line by code page 949 bytes (the first of equal ones) plus 4
// wide, one line height per line plus 4 high. Lines end at CR LF; a text without lines
// leaves the item as it is.
void FitItemToText(TBoardItem& item, const TCanvas& canvas);
