#pragma once

#include <QPixmap>

// The main window's skin, drawn here at the sizes the window lays out.
namespace SkinPictures {

QPixmap topStrip();       // 818 × 34, orange horizontal gradient
QPixmap leftBorder();     // 9 × 585, lighter towards the outer edge
QPixmap rightBorder();    // 9 × 585, the left one mirrored
QPixmap bottomBorder();   // 818 × 9
QPixmap minimiseGlyph();  // 15 × 15, a square with a bar
QPixmap closeGlyph();     // 15 × 15, a square with an X
QPixmap logo();           // 43 × 20
QPixmap titleCaption();   // 35 × 19, a bullet and the word 제목

}
