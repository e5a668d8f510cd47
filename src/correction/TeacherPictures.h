#pragma once

#include "board/DrawTool.h"

#include <QColor>
#include <QPixmap>

// The pictures of the correction frame's buttons, drawn rather than shipped.
namespace TeacherPictures {

// A button face with its word centred: filled, with a darker one-pixel edge.
QPixmap Word(const QString& word, QSize size, QColor fill, QColor text);
// A palette button's face: the mark the tool places, drawn by the board's own drawing,
// or an arrow for the selection tool.
QPixmap Tool(TDrawTool tool, int size);

}
