#pragma once

#include "document/CorrectionRecord.h"

#include <QSize>
#include <QString>

#include <functional>

// Sizes a note or number mark to its text as `measure` gives one line's width and height,
// its top-left corner fixed: the longest line by code page 949 bytes (the first of equal
// ones) plus 4 wide, one line height per line plus 4 high. Lines end at CR LF; a text
// without lines leaves the mark as it is.
void FitMarkToText(CorrectionRecord::MarkRow& mark, const std::function<QSize(const QString& line)>& measure);
