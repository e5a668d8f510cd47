#include "core/AppError.h"
#include "shell/ClosePolicy.h"

#include <QList>
#include <gtest/gtest.h>

using ClosePolicy::EditorState;
using ClosePolicy::TeacherState;

TEST(ClosePolicy, QuestionMatrix)
{
    const struct {
        const char* name;
        std::optional<TeacherState> teacher;
        std::optional<EditorState> editor;
        QList<bool> answers;
        int questions;
        int teacherSaves;
        int editorSaves;
    } cases[] = {
        {"nothing", {}, {}, {}, 0, 0, 0},
        {"teacher modified, Yes", TeacherState{false, true}, {}, {true}, 1, 1, 0},
        {"teacher modified, No", TeacherState{false, true}, {}, {false}, 1, 0, 0},
        {"teacher unchanged", TeacherState{false, false}, {}, {}, 0, 0, 0},
        {"viewing run never asks", TeacherState{true, true}, {}, {}, 0, 0, 0},
        {"viewing run silences the writing frame too",
         TeacherState{true, false},
         EditorState{true, false},
         {},
         0,
         0,
         0},
        {"timer ticked, Yes", {}, EditorState{true, false}, {true}, 1, 0, 1},
        {"timer not ticked", {}, EditorState{false, false}, {}, 0, 0, 0},
        {"read-only essay", {}, EditorState{true, true}, {}, 0, 0, 0},
        {"both frames after a hand-over", TeacherState{false, true}, EditorState{true, false}, {false, true}, 2, 0, 1},
    };
    for (const auto& c : cases) {
        QList<bool> answers = c.answers;
        int questions = 0, teacherSaves = 0, editorSaves = 0;
        ClosePolicy::run(c.teacher, c.editor,
                         {[&] {
                              ++questions;
                              return answers.isEmpty() ? false : answers.takeFirst();
                          },
                          [&] { ++teacherSaves; }, [&] { ++editorSaves; }});
        EXPECT_EQ(questions, c.questions) << c.name;
        EXPECT_EQ(teacherSaves, c.teacherSaves) << c.name;
        EXPECT_EQ(editorSaves, c.editorSaves) << c.name;
    }
}

TEST(ClosePolicy, SaveErrorKeepsTheWindowOpen)
{
    EXPECT_THROW(ClosePolicy::run({}, EditorState{true, false},
                                  {[] { return true; }, [] {}, [] { throw AppError(QStringLiteral("서버 오류")); }}),
                 AppError);
}
