#include "core/AppError.h"
#include "shell/ClosePolicy.h"

#include <QList>
#include <gtest/gtest.h>

using ClosePolicy::Answer;

TEST(ClosePolicy, AsksForEveryUnsavedFrame)
{
    const struct {
        const char* name;
        QList<bool> unsaved;
        QList<Answer> answers;
        int questions;
        QString acted;  // per frame: s saved, d discarded, - left alone
        bool closes;
    } cases[] = {
        {"nothing", {}, {}, 0, "", true},
        {"unchanged frame", {false}, {}, 0, "-", true},
        {"Yes saves", {true}, {Answer::Yes}, 1, "s", true},
        {"No discards", {true}, {Answer::No}, 1, "d", true},
        {"Cancel keeps the window", {true}, {Answer::Cancel}, 1, "-", false},
        {"both frames after a hand-over", {true, true}, {Answer::No, Answer::Yes}, 2, "ds", true},
        {"an unchanged frame between", {true, false, true}, {Answer::Yes, Answer::Yes}, 2, "s-s", true},
        {"Cancel stops the questions", {true, true}, {Answer::Cancel}, 1, "--", false},
    };
    for (const auto& c : cases) {
        QList<Answer> answers = c.answers;
        int questions = 0;
        QString acted(c.unsaved.size(), u'-');
        QList<ClosePolicy::Frame> frames;
        for (int i = 0; i < c.unsaved.size(); ++i)
            frames.append({c.unsaved[i], [&acted, i] { acted[i] = u's'; }, [&acted, i] { acted[i] = u'd'; }});
        const bool closes = ClosePolicy::run(frames, [&] {
            ++questions;
            return answers.isEmpty() ? Answer::No : answers.takeFirst();
        });
        EXPECT_EQ(questions, c.questions) << c.name;
        EXPECT_EQ(acted, c.acted) << c.name;
        EXPECT_EQ(closes, c.closes) << c.name;
    }
}

TEST(ClosePolicy, SaveErrorKeepsTheWindowOpen)
{
    EXPECT_THROW(ClosePolicy::run({{true, [] { throw AppError(QStringLiteral("서버 오류")); }, [] {}}},
                                  [] { return Answer::Yes; }),
                 AppError);
}
