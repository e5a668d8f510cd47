#pragma once

#include <QFont>
#include <QStringList>

// The lines a word-wrapping text box without a horizontal scroll bar shows: the text is
// broken at its line breaks (CR LF, LF or CR), and each paragraph wrapped after the last
// blank that lets the line fit `width`; blanks at a line's end hang past the edge, and a
// word wider than the box is broken between characters. A last displayed line that is
// empty is not counted, so an empty text has none.
QStringList DisplayedLines(const QString& text, const QFont& font, int width);
