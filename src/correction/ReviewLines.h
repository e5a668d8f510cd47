#pragma once

#include <QStringList>

// The overall review as the correction print shows it: the lines of a 680-pixel memo in
// 13-pixel GulimChe with word wrap, each paragraph broken where the memo breaks it. A last
// line that is empty is not counted.
QStringList ReviewLines(const QString& review);
