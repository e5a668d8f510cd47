#pragma once

#include <functional>
#include <optional>

// The questions the main window asks before it closes, apart from the widgets.
namespace ClosePolicy {

struct TeacherState {
    bool viewOnly = false;
    bool modified = false;
};

struct EditorState {
    bool timerTicked = false;
    bool readOnly = false;
};

struct Actions {
    std::function<bool()> askToSave;  // "저장하시겠습니까": true for Yes
    std::function<void()> saveTeacher;
    std::function<void()> saveEditor;
};

// Asks and saves as needed. Returns when the window may close; a save's error propagates
// and the window stays open.
void run(const std::optional<TeacherState>& teacher, const std::optional<EditorState>& editor, const Actions& actions);

}
