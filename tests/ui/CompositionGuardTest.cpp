#include "ui/CompositionGuard.h"
#include "ui/CompositionTracker.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <variant>
#include <vector>

namespace {

// One thing reaching the application: an input-method update (commit, pre-edit, whether the
// commit must be kept), a key press, or the program committing the composition.
struct Update {
    const char* commit;
    const char* preedit;
    bool kept = true;
};
struct Key {};
struct Committed {};
using Step = std::variant<Update, Key, Committed>;

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

const Sequence sequences[] = {
    {"the syllable committed on a click, repeated by IBus after the focus moved",
     {Update{"", "ㅎ"}, Update{"", "하"}, Update{"", "한"}, Update{"한", ""}, Committed{}, Update{"한", "", false}}},
    {"fcitx5 commits once; the next syllable typed is new input",
     {Update{"", "ㄴ"}, Update{"", "나"}, Update{"나", ""}, Committed{}, Update{"", "ㄴ"}, Update{"", "나"},
      Update{"나", ""}}},
    {"a repeat that carries the next pre-edit loses only its commit",
     {Update{"", "한"}, Update{"한", ""}, Committed{}, Update{"한", "ㄱ", false}, Update{"가", ""}}},
    {"only one repeat is dropped",
     {Update{"", "한"}, Update{"한", ""}, Committed{}, Update{"한", "", false}, Update{"한", ""}}},
    {"IBus's own order while typing (empty pre-edit, then the commit) is no repeat",
     {Update{"", "가"}, Update{"", ""}, Update{"가", ""}, Update{"", "가"}, Update{"", ""}, Update{"가", ""}}},
    {"a key let through between commit and focus change ends the syllable",
     {Update{"", "한"}, Update{"", ""}, Update{"한", ""}, Key{}, Committed{}, Update{"한", ""}}},
    {"a key after the focus change makes the same commit new input",
     {Update{"", "한"}, Update{"한", ""}, Committed{}, Key{}, Update{"한", ""}}},
    {"committed jamo without any pre-edit are never taken for repeats",
     {Update{"ㄱ", ""}, Committed{}, Update{"ㄱ", ""}}},
    {"a commit unlike the pre-edit shown is no syllable the program handed over",
     {Update{"", "한"}, Update{"韓", ""}, Committed{}, Update{"韓", ""}}},
    {"a word committed whole is repeated whole",
     {Update{"", "한글"}, Update{"한글", ""}, Committed{}, Update{"한글", "", false}}},
};

TEST(CompositionTracker, KeepsEachSyllableOnceWhateverTheInputMethodsOrder)
{
    for (const Sequence& sequence : sequences) {
        CompositionTracker tracker;
        int index = 0;
        for (const Step& step : sequence.steps) {
            if (const auto* update = std::get_if<Update>(&step))
                EXPECT_EQ(tracker.Update(QString::fromUtf8(update->commit), QString::fromUtf8(update->preedit)),
                          update->kept)
                    << sequence.name << ", step " << index;
            else if (std::holds_alternative<Key>(step))
                tracker.KeyPressed();
            else
                tracker.Committed();
            ++index;
        }
    }
}

TEST(CompositionTracker, ComposingWhileAPreeditIsShown)
{
    CompositionTracker tracker;
    EXPECT_FALSE(tracker.Composing());
    tracker.Update({}, QStringLiteral("ㅎ"));
    EXPECT_TRUE(tracker.Composing());
    tracker.Update({}, {});
    EXPECT_FALSE(tracker.Composing()) << "IBus empties the pre-edit before its commit";
    tracker.Update({}, QStringLiteral("한"));
    tracker.Update(QStringLiteral("한"), {});
    EXPECT_FALSE(tracker.Composing());
}

void send(QWidget* to, const QString& commit, const QString& preedit)
{
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(to, &event);
}

// Two edit boxes in a window, the way the title box and the cell editor sit.
struct TwoBoxes {
    TwoBoxes()
    {
        CompositionGuard::Install();
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        second->setText(QStringLiteral("제목"));
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        first->setFocus();
    }
    QWidget window;
    QLineEdit* first = new QLineEdit;
    QLineEdit* second = new QLineEdit;
};

TEST(CompositionGuard, TheRepeatAfterAFocusChangeLandsNowhere)
{
    TwoBoxes boxes;
    send(boxes.first, {}, QStringLiteral("한"));
    // What Qt does when the focus leaves a composing box: the pre-edit goes to it as a commit.
    send(boxes.first, QStringLiteral("한"), {});
    boxes.second->setFocus();
    ASSERT_TRUE(boxes.second->hasFocus());
    send(boxes.second, QStringLiteral("한"), {});
    EXPECT_EQ(boxes.first->text(), QStringLiteral("한"));
    EXPECT_EQ(boxes.second->text(), QStringLiteral("제목")) << "the input method's repeat is dropped";

    send(boxes.second, {}, QStringLiteral("ㅎ"));
    send(boxes.second, {}, QStringLiteral("한"));
    send(boxes.second, QStringLiteral("한"), {});
    EXPECT_EQ(boxes.second->text(), QStringLiteral("제목한")) << "the same syllable typed anew lands";
}

TEST(CompositionGuard, ARepeatCarryingTheNextPreeditShowsThePreedit)
{
    TwoBoxes boxes;
    send(boxes.first, {}, QStringLiteral("한"));
    send(boxes.first, QStringLiteral("한"), {});
    boxes.second->setFocus();
    send(boxes.second, QStringLiteral("한"), QStringLiteral("ㄱ"));
    send(boxes.second, QStringLiteral("가"), {});
    EXPECT_EQ(boxes.second->text(), QStringLiteral("제목가"));
}

}
