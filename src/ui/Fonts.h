#pragma once

#include <QFont>

// Makes the faces the forms name ("굴림체", "Arial", ...) resolve to installed fonts,
// so Hangul never shows as boxes.
void InstallFontSubstitutes();

// "굴림체" at a pixel height, as the forms use it.
QFont GulimcheFont(int pixelHeight, bool bold = false);
