#pragma once

#include <QList>

#include <functional>

// The questions the main window asks before it closes, apart from the widgets.
namespace ClosePolicy {

enum class Answer { Yes, No, Cancel };

// One frame of the window: unsaved when it holds work that is not on the server and may
// be saved (a viewing run never has any).
struct Frame {
    bool unsaved = false;
    std::function<void()> save;
    std::function<void()> discard;  // No: the work is given up
};

// Asks "저장하시겠습니까?" for every frame with unsaved work, in order; Yes saves it, No
// discards it. Returns false when Cancel was answered: the window stays open. A save's error
// propagates and the window stays open as well.
bool run(const QList<Frame>& frames, const std::function<Answer()>& ask);

}
