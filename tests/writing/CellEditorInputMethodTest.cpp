#include "FakeHost.h"
#include "SheetText.h"
#include "writing/CellEditorEngine.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// What an input method does for one key: commit text (replacing characters before the caret)
// and show a pre-edit, or let the key through to the widget.
struct Step {
    QString commit{};
    QString preedit{};
    int replaces = 0;
    int key = 0;
    QString keyText{};
};

Step pre(const char* preedit)
{
    return {.preedit = QString::fromUtf8(preedit)};
}

Step put(const char* commit, const char* next = "", int replaces = 0)
{
    return {.commit = QString::fromUtf8(commit), .preedit = QString::fromUtf8(next), .replaces = replaces};
}

Step press(int key, const char* text = "")
{
    return {.key = key, .keyText = QString::fromUtf8(text)};
}

enum class Order {
    // ibus: the deletion of replaced text, the empty pre-edit and the commit come as events of
    // their own, then the next pre-edit.
    IBus,
    // fcitx5: the commit and an empty pre-edit in one event, then the next pre-edit; here the
    // replacement rides in the commit's event too, as a Qt input method may send it.
    Fcitx5,
};

const char* nameOf(Order order)
{
    return order == Order::IBus ? "ibus" : "fcitx5";
}

void send(FakeHost& h, const std::vector<Step>& steps, Order order)
{
    CellEditorEngine& e = h.engine;
    for (const Step& s : steps) {
        if (s.key != 0 || !s.keyText.isEmpty()) {
            e.KeyPress(s.key, s.keyText);
            continue;
        }
        const bool commits = !s.commit.isEmpty() || s.replaces > 0;
        if (order == Order::IBus) {
            if (s.replaces > 0)
                e.InputMethod({}, {}, -s.replaces, s.replaces);
            if (!s.commit.isEmpty()) {
                e.InputMethod({}, {});
                e.InputMethod(s.commit, {});
            }
        } else if (commits) {
            e.InputMethod(s.commit, {}, -s.replaces, s.replaces);
        }
        if (!s.preedit.isEmpty() || !commits)
            e.InputMethod({}, s.preedit);
    }
}

struct Case {
    const char* name;
    std::map<int, QString> before;
    CellPos caret;
    std::vector<Step> steps;
    std::map<int, QString> after;  // every other line must be blank
    CellPos caretAfter;
};

const QString full0 = SheetText::syllables(0, 20);
const QString full1 = SheetText::syllables(20, 20);

void checkBothOrders(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        for (Order order : {Order::IBus, Order::Fcitx5}) {
            FakeHost host;
            for (const auto& [line, text] : c.before)
                SheetText::setLine(host.grid, line, text);
            host.place(c.caret);
            send(host, c.steps, order);
            QStringList expected;
            for (const auto& [line, text] : c.after)
                expected.append(QString::number(line) + QStringLiteral(": ") + text);
            EXPECT_EQ(SheetText::dump(host.grid), expected) << c.name << ", " << nameOf(order);
            EXPECT_EQ(host.pos, c.caretAfter)
                << c.name << ", " << nameOf(order) << ": caret at " << host.pos.line << "," << host.pos.column;
            EXPECT_EQ(host.beeps, 0) << c.name << ", " << nameOf(order);
        }
    }
}

}

TEST(CellEditorInputMethod, EveryEventOrderGivesTheSameCells)
{
    const std::vector<Step> gaNa = {pre("ㄱ"),       pre("가"), pre("간"),
                                    put("가", "나"), put("나"), press(Qt::Key_Space, " ")};
    checkBothOrders({
        {"syllables typed before text", {{0, "다라"}}, {0, 1}, gaNa, {{0, "가나_다라"}}, {0, 4}},
        {"syllables typed at the end of a full line",
         {{0, full0.left(19)}},
         {0, 20},
         gaNa,
         {{0, full0.left(19) + "가"}, {1, "나"}},
         {1, 3}},
        {"a pre-edit erased by Backspace leaves no cell",
         {{0, "다라"}},
         {0, 1},
         {pre("ㄱ"), pre(""), press(Qt::Key_End)},
         {{0, "다라"}},
         {0, 1}},
    });
}

TEST(CellEditorInputMethod, AWordCommitLaysOutOneSyllableACell)
{
    const std::vector<Step> word = {pre("ㅎ"),   pre("하"),     pre("한"),     pre("한ㄱ"),   pre("한그"),
                                    pre("한글"), pre("한글ㄴ"), pre("한글나"), pre("한글날"), put("한글날")};
    checkBothOrders({
        {"across column 20 and the margin onto the next line",
         {{0, full0}, {1, full1}},
         {0, 19},
         word,
         {{0, full0.left(18) + "한글"}, {1, "날" + full0.mid(18) + full1.left(17)}, {2, full1.mid(17)}},
         {1, 2}},
        {"begun in the margin", {{0, full0}, {1, "다라"}}, {0, 21}, word, {{0, full0}, {1, "한글날다라"}}, {1, 4}},
        {"a commit of the syllable being composed and the next",
         {},
         {0, 19},
         {pre("ㄱ"), pre("가"), put("가", "ㄴ"), pre("나"), put("나다")},
         {{0, QString(18, u'_') + "가나"}, {1, "다"}},
         {1, 2}},
    });
}

TEST(CellEditorInputMethod, ACommitReplacesTheCharactersBeforeTheCaret)
{
    checkBothOrders({
        {"hanja of the syllable the caret was moved back onto",
         {{0, "다라"}},
         {0, 1},
         {pre("ㅎ"), pre("하"), pre("한"), put("한"), press(Qt::Key_Left), put("韓", "", 1)},
         {{0, "韓다라"}},
         {0, 2}},
        {"a two-syllable word reaching back to the last cell of the line above",
         {{0, full0.left(19) + "가"}, {1, "나"}},
         {1, 2},
         {put("家羅", "", 2)},
         {{0, full0.left(19) + "家"}, {1, "羅"}},
         {1, 2}},
        {"hanja of a word ending in the syllable being composed",
         {{0, "다라"}},
         {0, 1},
         {pre("ㄷ"), pre("대"), put("대", "ㅎ"), pre("한"), put("大韓", "", 1)},
         {{0, "大韓다라"}},
         {0, 3}},
        {"each jamo committed and replaced (no pre-edit)",
         {},
         {0, 1},
         {put("ㄱ"), put("가", "", 1), put("간", "", 1), put("가나", "", 1), press(Qt::Key_Space, " ")},
         {{0, "가나"}},
         {0, 4}},
        {"each jamo committed and replaced before text",
         {{0, "다라"}},
         {0, 1},
         {put("ㄱ"), put("가", "", 1), put("간", "", 1), put("가나", "", 1), press(Qt::Key_Space, " ")},
         {{0, "가나_다라"}},
         {0, 4}},
        {"the second character of a half-width pair, by a half-width one",
         {{0, "다"}},
         {0, 1},
         {press(Qt::Key_A, "a"), press(Qt::Key_B, "b"), put("c", "", 1)},
         {{0, "[ac]다"}},
         {0, 2}},
        {"the second character of a half-width pair, by a syllable",
         {{0, "다"}},
         {0, 1},
         {press(Qt::Key_A, "a"), press(Qt::Key_B, "b"), put("韓", "", 1)},
         {{0, "a韓다"}},
         {0, 3}},
        {"in overwrite mode the replaced cell is written again and nothing moves",
         {{0, "가나다"}},
         {0, 2},
         {press(Qt::Key_Insert), put("羅", "", 1)},
         {{0, "가羅다"}},
         {0, 3}},
    });
}

TEST(CellEditorInputMethod, ACompositionGivenUpAfterAHalfWidthCharacterLeavesItPending)
{
    checkBothOrders({
        {"the next half-width character joins it",
         {{0, "다라"}},
         {0, 1},
         {press(Qt::Key_1, "1"), pre("ㄱ"), pre(""), press(Qt::Key_2, "2")},
         {{0, "[12]다라"}},
         {0, 2}},
        {"a syllable still follows it",
         {{0, "다라"}},
         {0, 1},
         {press(Qt::Key_1, "1"), pre("ㄱ"), pre(""), pre("ㄴ"), put("나")},
         {{0, "1나다라"}},
         {0, 3}},
        {"a caret key leaves it",
         {{0, "다라"}},
         {0, 1},
         {press(Qt::Key_1, "1"), pre("ㄱ"), pre(""), press(Qt::Key_Right), press(Qt::Key_2, "2")},
         {{0, "12다라"}},
         {0, 2}},
    });
}

TEST(CellEditorInputMethod, TellsTheTextBeforeTheCaretThatAReplacementCounts)
{
    FakeHost host;
    SheetText::setLine(host.grid, 0, full0);
    SheetText::setLine(host.grid, 1, QStringLiteral("다_라마"));
    host.place({1, 4});
    EXPECT_EQ(host.engine.SurroundingText(), QStringLiteral("다 라마"))
        << "the caret line only, a blank cell a space, the box's text as before the caret";
    host.engine.InputMethod(QStringLiteral("가"), {});
    EXPECT_EQ(host.engine.SurroundingText(), QStringLiteral("다 라가"))
        << "once the caret moved on past a syllable, the box shows what follows it";
    host.type(QStringLiteral("a"));
    EXPECT_EQ(host.engine.SurroundingText(), QStringLiteral("다 라가a")) << "a typed character is before it";
    host.place({2, 1});
    EXPECT_EQ(host.engine.SurroundingText(), QString());
}

TEST(CellEditorInputMethod, AReplacementIsOneStep)
{
    for (Order order : {Order::IBus, Order::Fcitx5}) {
        FakeHost host;
        SheetText::setLine(host.grid, 0, QStringLiteral("다라"));
        host.place({0, 1});
        send(host, {pre("ㅎ"), pre("한"), put("한"), press(Qt::Key_Left), put("韓", "", 1)}, order);
        ASSERT_EQ(SheetText::dump(host.grid), QStringList{"0: 韓다라"}) << nameOf(order);
        host.engine.Undo();
        EXPECT_EQ(SheetText::dump(host.grid), QStringList{"0: 한다라"}) << nameOf(order);
        EXPECT_EQ(host.pos, (CellPos{0, 1})) << nameOf(order);
        host.engine.Redo();
        EXPECT_EQ(SheetText::dump(host.grid), QStringList{"0: 韓다라"}) << nameOf(order);
        EXPECT_EQ(host.pos, (CellPos{0, 2})) << nameOf(order);
    }
}
