#pragma once

#include <QKeySequence>
#include <QList>

class PictureButton;
class QPlainTextEdit;
class QWidget;

// What a frame needs so that everything it offers works from the keyboard alone.
namespace Keyboard {

// Tab walks the widgets in this order (hidden or disabled ones are skipped by Qt).
void SetTabChain(const QList<QWidget*>& widgets);
// Tab and Shift+Tab leave the memo instead of typing; Ctrl+Tab types a tab.
void TabLeavesMemo(QPlainTextEdit* memo);
// The key anywhere in the button's window presses the button, as a click would, while the
// button is shown and enabled.
void PressOnKey(PictureButton* button, const QKeySequence& key);

}
