#pragma once

#include <QPixmap>
#include <QString>

// The pictures of the writing frame's buttons, drawn at the sizes the frame lays out.
namespace WritingPictures {

// A rounded button face with its word centred: the paper and discussion buttons on the
// top bar (29 high) and the print and save buttons on the bottom bar (18 high).
QPixmap wordButton(const QString& word, int width, int height);
// 13 × 14, a clock face beside the writing time.
QPixmap clock();

}
