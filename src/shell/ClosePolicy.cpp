#include "shell/ClosePolicy.h"

namespace ClosePolicy {

void run(const std::optional<TeacherState>& teacher, const std::optional<EditorState>& editor, const Actions& actions)
{
    if (teacher) {
        // A viewing run asks nothing at all, not even for a writing frame behind it.
        if (teacher->viewOnly)
            return;
        if (teacher->modified && actions.askToSave())
            actions.saveTeacher();
    }
    if (editor && editor->timerTicked && !editor->readOnly && actions.askToSave())
        actions.saveEditor();
}

}
