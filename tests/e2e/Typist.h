#pragma once

#include <QString>

class QWidget;

// Types text into a widget the way a person does with a Korean input method (IBus Hangul):
// each Hangul syllable through input-method events (the pre-edit of its first consonant,
// the syllable, an empty pre-edit, then the commit), everything else as key presses and
// releases; "\n" is the Return key.
void TypeText(QWidget* target, const QString& text);
