#include "FakeHost.h"
#include "SheetText.h"
#include "writing/CellEditorEngine.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

struct Case {
    const char* name;
    std::map<int, QString> before;
    CellPos caret;
    std::function<void(FakeHost&)> act;
    std::map<int, QString> after;  // every other line must be blank
    CellPos caretAfter;
};

void typeKeys(FakeHost& h, const char* keys)
{
    h.type(QString::fromUtf8(keys));
}

const QString full0 = SheetText::syllables(0, 20);
const QString full1 = SheetText::syllables(20, 20);
const QString full2 = SheetText::syllables(40, 20);

QString mid(const QString& s, int from, int n = -1)
{
    return s.mid(from, n);
}

template <size_t N>
void checkCases(const Case (&cases)[N])
{
    for (const Case& c : cases) {
        FakeHost host;
        for (const auto& [line, text] : c.before)
            SheetText::setLine(host.grid, line, text);
        host.place(c.caret);
        c.act(host);
        QStringList expected;
        for (const auto& [line, text] : c.after)
            expected.append(QString::number(line) + QStringLiteral(": ") + text);
        EXPECT_EQ(SheetText::dump(host.grid), expected) << c.name;
        EXPECT_EQ(host.pos, c.caretAfter) << c.name << ": caret at " << host.pos.line << "," << host.pos.column;
    }
}

}

TEST(CellEditorEngine, LaysOutTypingOnTheSheet)
{
    const QString g = QStringLiteral("가");
    const QString plain = QStringLiteral("나다");
    const Case cases[] = {
        {"two half-width characters share a cell", {}, {0, 1}, [](FakeHost& h) { typeKeys(h, "ab"); },
         {{0, "[ab]"}}, {0, 2}},
        {"a third starts the next cell and the caret stays on it", {}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "abc"); }, {{0, "[ab]c"}}, {0, 2}},
        {"an upper-case letter is full-width", {}, {0, 1}, [](FakeHost& h) { typeKeys(h, "A"); },
         {{0, "Ａ"}}, {0, 2}},
        {"a full-width letter after a half-width one takes its own cell", {}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "aB"); }, {{0, "aＢ"}}, {0, 3}},
        {"a question mark is full-width and moves on", {}, {0, 1}, [](FakeHost& h) { typeKeys(h, "?"); },
         {{0, "？"}}, {0, 2}},
        {"a period keeps its cell and moves on", {}, {0, 1}, [](FakeHost& h) { typeKeys(h, "."); },
         {{0, "."}}, {0, 2}},
        {"typing past column 20 reaches the margin cell", {}, {0, 1},
         [&](FakeHost& h) { typeHangul(h, full0, HangulPath::CommitOnly); }, {{0, full0}}, {0, 21}},
        {"a period typed in the margin stays there", {{0, full0}}, {0, 21},
         [](FakeHost& h) { typeKeys(h, "."); }, {{0, full0 + "|."}}, {1, 1}},
        {"a letter typed in the margin starts the next line", {{0, full0}, {1, plain}}, {0, 21},
         [](FakeHost& h) { typeKeys(h, "a"); }, {{0, full0}, {1, "a" + plain}}, {1, 1}},
        {"a full-width letter typed after a half-width one at column 20 starts the next line",
         {{0, mid(full0, 0, 19)}, {1, plain}}, {0, 20}, [](FakeHost& h) { typeKeys(h, "aB"); },
         {{0, mid(full0, 0, 19) + "a"}, {1, "Ｂ_" + plain}}, {1, 2}},
        {"space in an empty margin goes to the next line and opens no cell", {{0, full0}, {1, plain}},
         {0, 21}, [](FakeHost& h) { typeKeys(h, " "); }, {{0, full0}, {1, plain}}, {1, 1}},
        {"space on an empty cell opens a blank cell", {{0, plain}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, " "); }, {{0, "_" + plain}}, {0, 2}},
        {"space after a half-width character opens the next cell and stays on it", {{0, plain}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "a "); }, {{0, "a_" + plain}}, {0, 2}},
        {"space on a cell with text opens a blank before it", {{0, plain}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, " "); }, {{0, "_" + plain}}, {0, 2}},
        {"right from column 20 passes over an empty margin", {{0, full0}}, {0, 20},
         [](FakeHost& h) { h.press(Qt::Key_Right); }, {{0, full0}}, {1, 1}},
        {"right from column 20 stops on a margin that holds a mark", {{0, full0 + "|."}}, {0, 20},
         [](FakeHost& h) { h.press(Qt::Key_Right); }, {{0, full0 + "|."}}, {0, 21}},
        {"a syllable in the middle of full lines moves every later cell on by one",
         {{0, full0}, {1, full1}, {2, full2}}, {1, 5}, [&](FakeHost& h) { typeHangul(h, g, HangulPath::CommitOnly); },
         {{0, full0},
          {1, mid(full1, 0, 4) + g + mid(full1, 4, 15)},
          {2, mid(full1, 19) + mid(full2, 0, 19)},
          {3, mid(full2, 19)}},
         {1, 6}},
        {"a period pushed to the end of a full line goes into its margin",
         {{0, mid(full0, 0, 19) + "."}, {1, full1}}, {0, 3}, [&](FakeHost& h) { typeHangul(h, g, HangulPath::CommitOnly); },
         {{0, mid(full0, 0, 2) + g + mid(full0, 2, 17) + "|."}, {1, full1}}, {0, 4}},
        {"a mark in the margin moves on as a cell when text reaches it",
         {{0, full0 + "|."}, {1, plain}}, {0, 1}, [&](FakeHost& h) { typeHangul(h, g, HangulPath::CommitOnly); },
         {{0, g + mid(full0, 0, 19)}, {1, mid(full0, 19) + "." + plain}}, {0, 2}},
        {"delete removes the caret cell and the last cell of the sheet empties",
         {{0, plain}, {20, SheetText::syllables(60, 20)}}, {0, 1}, [](FakeHost& h) { h.press(Qt::Key_Delete); },
         {{0, "다"}, {19, QString(19, u'_') + SheetText::syllables(60, 1)}, {20, SheetText::syllables(61, 19)}},
         {0, 1}},
        {"delete pulls the next line's first cell up", {{0, full0}, {1, full1}}, {0, 1},
         [](FakeHost& h) { h.press(Qt::Key_Delete); },
         {{0, mid(full0, 1) + mid(full1, 0, 1)}, {1, mid(full1, 1)}}, {0, 1}},
        {"backspace at column 1 empties the margin above", {{0, full0 + "|."}, {1, plain}}, {1, 1},
         [](FakeHost& h) { typeKeys(h, "\b"); }, {{0, full0}, {1, plain}}, {0, 21}},
        {"backspace at column 1 pulls a mark up into the margin", {{0, full0}, {1, ".나"}}, {1, 1},
         [](FakeHost& h) { typeKeys(h, "\b"); }, {{0, full0 + "|."}, {1, "나"}}, {0, 21}},
        {"backspace on a cell removes the cell before it", {{0, "가나다"}}, {0, 3},
         [](FakeHost& h) { typeKeys(h, "\b"); }, {{0, "가다"}}, {0, 2}},
        {"backspace at the first cell removes it when it has text", {{0, "가나"}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "\b"); }, {{0, "나"}}, {0, 1}},
        {"backspace at an empty first cell does nothing", {{0, "_나"}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "\b"); }, {{0, "_나"}}, {0, 1}},
        {"enter at column 8 of a full line carries the rest over and refills the lines after",
         {{0, full0}, {1, full1}}, {0, 8}, [](FakeHost& h) { typeKeys(h, "\r"); },
         {{0, mid(full0, 0, 7)}, {1, mid(full0, 7) + mid(full1, 0, 7)}, {2, mid(full1, 7)}}, {1, 1}},
        {"enter at column 1 opens an empty line", {{0, plain}}, {0, 1},
         [](FakeHost& h) { typeKeys(h, "\r"); }, {{1, plain}}, {1, 1}},
        {"overwrite mode replaces the caret cell and moves nothing", {{0, "가나다"}}, {0, 2},
         [](FakeHost& h) {
             h.press(Qt::Key_Insert);
             typeHangul(h, QStringLiteral("라"), HangulPath::CommitWithNextPreedit);
         },
         {{0, "가라다"}}, {0, 3}},
        {"overwrite mode: space blanks the caret cell", {{0, "가나다"}}, {0, 2},
         [](FakeHost& h) {
             h.press(Qt::Key_Insert);
             typeKeys(h, " ");
         },
         {{0, "가_다"}}, {0, 3}},
        {"overwrite mode: space after a half-width character blanks the next cell", {{0, "가나다"}}, {0, 1},
         [](FakeHost& h) {
             h.press(Qt::Key_Insert);
             typeKeys(h, "a ");
         },
         {{0, "a_다"}}, {0, 2}},
        {"home, end and control characters do nothing", {{0, "가나"}}, {0, 2},
         [](FakeHost& h) {
             h.press(Qt::Key_Home);
             h.press(Qt::Key_End);
             h.engine.KeyPress(Qt::Key_V, QStringLiteral("\x16"));
             h.engine.KeyPress(Qt::Key_Escape, QStringLiteral("\x1b"));
             h.engine.KeyPress(0, QStringLiteral("\x7f"));
         },
         {{0, "가나"}}, {0, 2}},
        {"ctrl+h and ctrl+m arrive as backspace and enter", {{0, "가나다"}}, {0, 3},
         [](FakeHost& h) {
             h.engine.KeyPress(Qt::Key_H, QStringLiteral("\b"));
             h.engine.KeyPress(Qt::Key_M, QStringLiteral("\r"));
         },
         {{0, "가"}, {1, "다"}}, {1, 1}},
        {"a half-width character then a syllable: each keeps a cell", {{0, plain}}, {0, 1},
         [&](FakeHost& h) {
             typeKeys(h, "a");
             typeHangul(h, g, HangulPath::CommitWithNextPreedit);
         },
         {{0, "a" + g + plain}}, {0, 3}},
        {"left from column 1 goes to column 20 above when its margin is empty", {{0, full0}}, {1, 1},
         [](FakeHost& h) { h.press(Qt::Key_Left); }, {{0, full0}}, {0, 20}},
        {"left from column 1 goes to the margin above when it holds a mark", {{0, full0 + "|,"}}, {1, 1},
         [](FakeHost& h) { h.press(Qt::Key_Left); }, {{0, full0 + "|,"}}, {0, 21}},
        {"down from a margin onto a line with an empty margin lands on column 20", {{0, full0 + "|."}}, {0, 21},
         [](FakeHost& h) { h.press(Qt::Key_Down); }, {{0, full0 + "|."}}, {1, 20}},
        {"up from column 1 of line 0 stays", {{0, plain}}, {0, 1}, [](FakeHost& h) { h.press(Qt::Key_Up); },
         {{0, plain}}, {0, 1}},
        {"page down lets the grid move a page, then one line more", {}, {2, 4},
         [](FakeHost& h) { h.press(Qt::Key_PageDown); }, {}, {13, 4}},
        {"arrow keys store the edit box into the cell they leave", {{0, plain}}, {0, 1},
         [](FakeHost& h) {
             typeKeys(h, "a");
             h.press(Qt::Key_Right);
         },
         {{0, "a" + plain}}, {0, 2}},
    };
    checkCases(cases);
}

TEST(CellEditorEngine, EveryHangulPathGivesTheSameCells)
{
    const QString text = SheetText::syllables(100, 5);
    for (HangulPath path : {HangulPath::CommitWithNextPreedit, HangulPath::PreeditClearedBeforeCommit,
                            HangulPath::CommitOnly, HangulPath::PlainKey}) {
        for (bool overwrite : {false, true}) {
            FakeHost host;
            SheetText::setLine(host.grid, 0, full0);
            SheetText::setLine(host.grid, 1, full1);
            host.place({0, 17});
            if (overwrite)
                host.press(Qt::Key_Insert);
            typeHangul(host, text.left(2), path);
            host.type(QStringLiteral(" "));
            typeHangul(host, text.mid(2), path);
            host.press(Qt::Key_End);  // a key that ends whatever composition is pending

            const int at = int(path);
            if (overwrite) {
                EXPECT_EQ(SheetText::dump(host.grid),
                          (QStringList{"0: " + mid(full0, 0, 16) + text.left(2) + "_" + text.mid(2, 1),
                                       "1: " + text.mid(3) + mid(full1, 2)}))
                    << "overwrite, path " << at;
            } else {
                EXPECT_EQ(
                    SheetText::dump(host.grid),
                    (QStringList{"0: " + mid(full0, 0, 16) + text.left(2) + "_" + text.mid(2, 1),
                                 "1: " + text.mid(3) + mid(full0, 16) + mid(full1, 0, 14), "2: " + mid(full1, 14)}))
                    << "insert, path " << at;
            }
            EXPECT_EQ(host.pos, (CellPos{1, 3})) << "path " << at;
            EXPECT_EQ(host.beeps, 0);
        }
    }
}

TEST(CellEditorEngine, ShowsTheSyllableBeingComposedInTheEditBox)
{
    FakeHost host;
    SheetText::setLine(host.grid, 0, QStringLiteral("나다"));
    host.place({0, 1});
    host.engine.InputMethod({}, QStringLiteral("ㄱ"));
    EXPECT_EQ(SheetText::line(host.grid, 0), QStringLiteral("_나다")) << "a cell opens for the syllable";
    EXPECT_TRUE(host.text.isEmpty()) << "the box holds only the pre-edit, which the widget draws";
    host.engine.InputMethod(QStringLiteral("가"), {});
    EXPECT_EQ(SheetText::line(host.grid, 0), QStringLiteral("가나다"));
    EXPECT_EQ(host.pos, (CellPos{0, 2}));
}

TEST(CellEditorEngine, SoundBehaviourWhereTheDescribedOneLosesText)
{
    const QString g = QStringLiteral("가");
    const Case cases[] = {
        {"text pushed past the last line grows the sheet",
         {{19, full0}, {20, full1}},
         {19, 1},
         [&](FakeHost& h) { typeHangul(h, g, HangulPath::CommitOnly); },
         {{19, g + mid(full0, 0, 19)}, {20, mid(full0, 19) + mid(full1, 0, 19)}, {21, mid(full1, 19)}},
         {19, 2}},
        {"right over an empty margin on the last line grows the sheet",
         {},
         {20, 20},
         [](FakeHost& h) { h.press(Qt::Key_Right); },
         {},
         {21, 1}},
        {"a syllable begun in the margin opens its cell on the next line",
         {{0, full0}, {1, full1}},
         {0, 21},
         [&](FakeHost& h) { typeHangul(h, g, HangulPath::PreeditClearedBeforeCommit); },
         {{0, full0}, {1, g + mid(full1, 0, 19)}, {2, mid(full1, 19)}},
         {1, 2}},
        {"a syllable following one placed at column 20 opens on the next line too",
         {{0, full0}, {1, full1}},
         {0, 20},
         [&](FakeHost& h) { typeHangul(h, QStringLiteral("가나"), HangulPath::CommitWithNextPreedit); },
         {{0, mid(full0, 0, 19) + g}, {1, "나" + mid(full0, 19) + mid(full1, 0, 18)}, {2, mid(full1, 18)}},
         {1, 2}},
        {"a one-byte composition result is placed as the typed character",
         {{0, "나"}},
         {0, 1},
         [](FakeHost& h) {
             h.engine.InputMethod(QStringLiteral("a"), {});
             h.engine.InputMethod(QStringLiteral("b"), {});
         },
         {{0, "[ab]나"}},
         {0, 2}},
        {"backspace inside a cell takes the character out: a, backspace, b is one cell b",
         {{0, "나다"}},
         {0, 1},
         [](FakeHost& h) { typeKeys(h, "a\bb"); },
         {{0, "b나다"}},
         {0, 1}},
        {"a syllable after a half-width character erased again takes its cell",
         {{0, "나다"}},
         {0, 1},
         [&](FakeHost& h) {
             typeKeys(h, "a\b");
             typeHangul(h, g, HangulPath::CommitWithNextPreedit);
         },
         {{0, g + "나다"}},
         {0, 2}},
        {"delete on a cell just typed into keeps what moves in",
         {{0, "나다"}},
         {0, 1},
         [](FakeHost& h) {
             typeKeys(h, "a");
             h.press(Qt::Key_Delete);
             typeKeys(h, "b");
         },
         {{0, "b나다"}},
         {0, 1}},
        {"a syllable after moving away from a typed character replaces nothing",
         {{0, "나다"}},
         {0, 2},
         [&](FakeHost& h) {
             typeKeys(h, "a");
             h.press(Qt::Key_Left);
             typeHangul(h, g, HangulPath::CommitWithNextPreedit);
         },
         {{0, g + "나a다"}},
         {0, 2}},
        {"a composition given up leaves no cell",
         {{0, "나다"}},
         {0, 1},
         [](FakeHost& h) {
             h.engine.InputMethod({}, QStringLiteral("ㄱ"));
             h.engine.InputMethod({}, {});
             h.press(Qt::Key_End);
         },
         {{0, "나다"}},
         {0, 1}},
        {"a composition given up after a half-width character leaves no copy of it, the caret back on it",
         {{0, "나다"}},
         {0, 1},
         [](FakeHost& h) {
             typeKeys(h, "a");
             h.engine.InputMethod({}, QStringLiteral("ㄱ"));
             h.engine.InputMethod({}, {});
             h.press(Qt::Key_End);
         },
         {{0, "a나다"}},
         {0, 1}},
        {"text in a margin that is no hanging mark is carried along, not dropped",
         {{0, full0 + "|a"}, {1, "나"}},
         {0, 1},
         [&](FakeHost& h) { typeHangul(h, g, HangulPath::CommitOnly); },
         {{0, g + mid(full0, 0, 19)}, {1, mid(full0, 19) + "a나"}},
         {0, 2}},
    };
    checkCases(cases);
}

// "a", Backspace, "9" leaves one cell "9" whichever way the "a" reached its cell.
TEST(CellEditorEngine, ACellEmptiedByBackspaceIsTakenByWhatIsTypedNext)
{
    const QString g = QStringLiteral("가");
    const QString plain = QStringLiteral("나다");
    const Case cases[] = {
        {"a letter carried out of the margin",
         {},
         {0, 1},
         [&](FakeHost& h) {
             typeHangul(h, QString(21, g[0]), HangulPath::CommitWithNextPreedit);
             h.press(Qt::Key_Up);
             for (int i = 0; i < 18; ++i)
                 h.press(Qt::Key_Right);
             typeKeys(h, "b9a\b9");
         },
         {{0, QString(19, g[0]) + "[b9]"}, {1, "9" + g + g}},
         {1, 1}},
        {"a letter typed in the margin",
         {{0, full0}, {1, plain}},
         {0, 21},
         [](FakeHost& h) { typeKeys(h, "a\b9"); },
         {{0, full0}, {1, "9" + plain}},
         {1, 1}},
        {"a full-width sign carried out of the margin",
         {{0, full0}, {1, plain}},
         {0, 21},
         [](FakeHost& h) { typeKeys(h, "A\b9"); },
         {{0, full0}, {1, "9" + plain}},
         {1, 1}},
        {"a full-width sign following a letter at column 20",
         {{0, full0}, {1, plain}},
         {0, 20},
         [](FakeHost& h) { typeKeys(h, "aA\b9"); },
         {{0, mid(full0, 0, 19) + "a"}, {1, "9" + mid(full0, 19) + plain}},
         {1, 1}},
        {"a syllable begun in the margin",
         {{0, full0}, {1, plain}},
         {0, 21},
         [&](FakeHost& h) {
             typeHangul(h, g, HangulPath::PreeditClearedBeforeCommit);
             typeKeys(h, "\b9");
         },
         {{0, full0}, {1, "9" + plain}},
         {1, 1}},
        {"a letter after a line break",
         {{0, "가나다라"}},
         {0, 3},
         [](FakeHost& h) { typeKeys(h, "\ra\b9"); },
         {{0, "가나"}, {1, "9다라"}},
         {1, 1}},
        {"a syllable after a letter carried out of the margin keeps the letter first",
         {{0, full0}, {1, plain}},
         {0, 21},
         [&](FakeHost& h) {
             typeKeys(h, "a");
             typeHangul(h, g, HangulPath::CommitWithNextPreedit);
         },
         {{0, full0}, {1, "a" + g + plain}},
         {1, 3}},
    };
    checkCases(cases);
}

TEST(CellEditorEngine, RefusesCharactersCodePage949CannotHold)
{
    for (bool plainKeys : {true, false}) {
        FakeHost host;
        SheetText::setLine(host.grid, 0, QStringLiteral("나다"));
        host.place({0, 1});
        if (plainKeys) {
            host.engine.KeyPress(0, QStringLiteral("é"));
            host.engine.KeyPress(0, QStringLiteral("😀"));
        } else {
            host.engine.InputMethod({}, QStringLiteral("e"));
            host.engine.InputMethod(QStringLiteral("é😀"), {});
            host.press(Qt::Key_End);
        }
        EXPECT_EQ(SheetText::dump(host.grid), QStringList{"0: 나다"}) << plainKeys;
        EXPECT_EQ(host.beeps, 2) << plainKeys;
        EXPECT_EQ(host.pos, (CellPos{0, 1})) << plainKeys;
    }
}

TEST(CellEditorEngine, GrowsToKeepThreeLinesBelowTheCaret)
{
    FakeHost host(21);
    host.place({19, 1});
    host.press(Qt::Key_Down);
    EXPECT_EQ(host.grid.lineCount(), 24);
    host.type(QStringLiteral("\r"));
    EXPECT_EQ(host.pos, (CellPos{21, 1}));
    EXPECT_EQ(host.grid.lineCount(), 25) << "the break's own line, and three below the caret";
    host.place({24, 20});
    typeHangul(host, QStringLiteral("가"), HangulPath::CommitOnly);
    EXPECT_EQ(host.pos, (CellPos{24, 21}));
    typeHangul(host, QStringLiteral("나"), HangulPath::CommitOnly);
    EXPECT_EQ(host.pos, (CellPos{25, 2}));
    EXPECT_EQ(host.grid.lineCount(), 29);
}

TEST(CellEditorEngine, ConvertsTypedSignsToFullWidth)
{
    const struct {
        char typed;
        const char* result;
    } cases[] = {{'A', "Ａ"}, {'Z', "Ｚ"}, {'!', "！"}, {'\\', "￦"}, {'?', "？"}, {'@', "＠"}, {'}', "｝"},
                 {'^', "⌒"},  {'|', "│"},  {'<', "〈"}, {'>', "〉"},  {'~', "∼"},  {'`', "´"},  {'"', "″"},
                 {'a', "a"},  {'z', "z"},  {'0', "0"},  {'.', "."},   {',', ","},  {'\'', "'"}};
    for (const auto& c : cases)
        EXPECT_EQ(CellEditorEngine::ToFullWidth(QChar(c.typed)), QString::fromUtf8(c.result)) << c.typed;
    for (const char* mark : {".", ",", "?", "？"})
        EXPECT_TRUE(CellEditorEngine::IsHangingPunctuation(QString::fromUtf8(mark))) << mark;
    for (const char* other : {"!", "..", "。", "", " ."})
        EXPECT_FALSE(CellEditorEngine::IsHangingPunctuation(QString::fromUtf8(other))) << other;
}
