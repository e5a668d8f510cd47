#include "FrameFixture.h"
#include "SheetText.h"
#include "support/TestPaths.h"
#include "writing/CellEditorEngine.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"

#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void preedit(QWidget* w, const QString& text)
{
    QInputMethodEvent event(text, {});
    QApplication::sendEvent(w, &event);
}

void commit(QWidget* w, const QString& text, const QString& nextPreedit = {})
{
    QInputMethodEvent event(nextPreedit, {});
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

void key(QWidget* w, int code, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(w, &release);
}

// Pixels of the edit box (or a part of it) darker than mid grey: text drawn there.
int inkIn(QWidget* w, const QRect& part = QRect(QPoint(0, 0), QSize(-1, -1)))
{
    const QImage image = w->grab(part).toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    return ink;
}

// A frame on manuscript paper whose line 0 holds 다라, the caret on its first cell.
struct Typing : FrameFixture {
    Typing()
    {
        SheetText::setLine(cells(), 0, QStringLiteral("다라"));
        grid()->setCurrentIndex(cells().index(0, 2));
        grid()->setCurrentIndex(cells().index(0, 1));
        edt()->setFocus();
    }
    QString line0() const { return SheetText::line(cells(), 0); }
};

}

TEST(CellEditorWidget, HangulGivesTheSameCellsWhicheverWayItArrives)
{
    const struct {
        const char* name;
        std::function<void(QWidget*)> type;
    } paths[] = {
        {"pre-edit cleared before each commit (IBus)",
         [](QWidget* w) {
             for (const char* p : {"ㄱ", "가", "간"})
                 preedit(w, QString::fromUtf8(p));
             preedit(w, {});
             commit(w, "가");
             preedit(w, "나");
             preedit(w, {});
             commit(w, "나");
         }},
        {"commit and the next pre-edit in one event",
         [](QWidget* w) {
             for (const char* p : {"ㄱ", "가", "간"})
                 preedit(w, QString::fromUtf8(p));
             commit(w, "가", "나");
             commit(w, "나");
         }},
        {"commits without pre-edit",
         [](QWidget* w) {
             commit(w, "가");
             commit(w, "나");
         }},
        {"plain keys, no input method",
         [](QWidget* w) {
             key(w, 0, "가");
             key(w, 0, "나");
         }},
    };
    for (const auto& path : paths) {
        Typing t;
        path.type(t.edt());
        key(t.edt(), Qt::Key_Space, " ");
        EXPECT_EQ(t.line0(), QStringLiteral("가나_다라")) << path.name;
        EXPECT_EQ(t.caret(), (CellPos{0, 4})) << path.name;
        EXPECT_EQ(t.label("lblCount")->text(), QStringLiteral("5 자")) << path.name;
    }
}

TEST(CellEditorWidget, ShowsTheSyllableBeingComposedOverItsCell)
{
    Typing t;
    preedit(t.edt(), "ㄱ");
    preedit(t.edt(), "간");
    EXPECT_EQ(t.line0(), QStringLiteral("_다라")) << "an empty cell is open for the syllable";
    EXPECT_TRUE(t.edt()->text().isEmpty()) << "the syllable is not the box's text until it is committed";
    const int composing = inkIn(t.edt());
    preedit(t.edt(), {});
    EXPECT_GT(composing, inkIn(t.edt()) + 20) << "but the box shows it while it is composed";
    commit(t.edt(), "간");
    EXPECT_EQ(t.line0(), QStringLiteral("간다라"));
    EXPECT_EQ(t.edt()->text(), QStringLiteral("다")) << "the box moved on to the next cell";
}

TEST(CellEditorWidget, AWordPreeditWidensTheBoxOverTheFollowingCells)
{
    Typing t;
    TSorEdit* edt = t.edt();
    const QSize cell = edt->size();
    preedit(edt, "한");
    EXPECT_EQ(edt->size(), cell) << "one syllable fits its cell";
    preedit(edt, "한글");
    EXPECT_EQ(edt->size(), QSize(cell.width() + ManuscriptView::kCellSize, cell.height()));
    EXPECT_GT(inkIn(edt, QRect(cell.width(), 0, ManuscriptView::kCellSize, cell.height())), 20)
        << "the second syllable is drawn over the next cell";
    commit(edt, "한글");
    EXPECT_EQ(edt->size(), cell) << "an empty pre-edit gives the cell's size back";
    EXPECT_EQ(t.line0(), QStringLiteral("한글다라"));
}

TEST(CellEditorWidget, TellsInputMethodsTheTextBeforeTheCaretAndTakesTheirReplacements)
{
    Typing t;
    TSorEdit* edt = t.edt();
    commit(edt, "가");
    commit(edt, "나");
    const auto query = [&](Qt::InputMethodQuery q) { return edt->inputMethodQuery(q); };
    EXPECT_EQ(query(Qt::ImSurroundingText).toString(), QStringLiteral("가나")) << "not the 다 the box shows";
    EXPECT_EQ(query(Qt::ImCursorPosition).toInt(), 2);
    EXPECT_EQ(query(Qt::ImAnchorPosition).toInt(), 2);

    QTest::keyClick(edt, Qt::Key_Left);
    EXPECT_EQ(query(Qt::ImSurroundingText).toString(), QStringLiteral("가나")) << "the caret cell's text before it";
    EXPECT_EQ(query(Qt::ImCursorPosition).toInt(), 2);
    EXPECT_EQ(query(Qt::ImAnchorPosition).toInt(), 2) << "nothing selected for the input method";
    EXPECT_TRUE(query(Qt::ImCurrentSelection).toString().isEmpty());

    QInputMethodEvent hanja;
    hanja.setCommitString(QStringLiteral("羅"), -1, 1);
    QApplication::sendEvent(edt, &hanja);
    EXPECT_EQ(t.line0(), QStringLiteral("가羅다라"));
    EXPECT_EQ(t.caret(), (CellPos{0, 3}));
    EXPECT_EQ(query(Qt::ImSurroundingText).toString(), QStringLiteral("가羅"));
}

TEST(CellEditorWidget, KeysMapAsOnTheKeyboard)
{
    Typing t;
    QTest::keyClicks(t.edt(), "abcA?");
    EXPECT_EQ(t.line0(), QStringLiteral("[ab]cＡ？다라"));
    EXPECT_EQ(t.caret(), (CellPos{0, 5}));
    QTest::keyClick(t.edt(), Qt::Key_Left);
    QTest::keyClick(t.edt(), Qt::Key_Backspace);
    EXPECT_EQ(t.line0(), QStringLiteral("[ab]c？다라"));
    QTest::keyClick(t.edt(), Qt::Key_Home);
    QTest::keyClick(t.edt(), Qt::Key_End);
    key(t.edt(), Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(t.caret(), (CellPos{0, 3}));
    QTest::keyClick(t.edt(), Qt::Key_Delete);
    EXPECT_EQ(t.line0(), QStringLiteral("[ab]c다라"));
    QTest::keyClick(t.edt(), Qt::Key_Return);
    EXPECT_EQ(t.line0(), QStringLiteral("[ab]c"));
    EXPECT_EQ(SheetText::line(t.cells(), 1), QStringLiteral("다라"));
    QTest::keyClick(t.edt(), Qt::Key_Insert);
    EXPECT_TRUE(t.edt()->engine()->overwrite());
    QTest::keyClick(t.edt(), Qt::Key_PageDown);
    EXPECT_GT(t.caret().line, 10);
}

TEST(CellEditorWidget, ALetterCarriedOutOfTheMarginAndErasedLeavesNoBlankCell)
{
    FrameFixture f;
    TSorEdit* edt = f.edt();
    edt->setFocus();
    for (int i = 0; i < 21; ++i) {
        preedit(edt, "ㄱ");
        preedit(edt, "가");
        commit(edt, "가");
    }
    QTest::keyClick(edt, Qt::Key_Up);
    for (int i = 0; i < 18; ++i)
        QTest::keyClick(edt, Qt::Key_Right);
    QTest::keyClicks(edt, "b9a");
    QTest::keyClick(edt, Qt::Key_Backspace);
    QTest::keyClicks(edt, "9");
    EXPECT_EQ(SheetText::line(f.cells(), 0), QString(19, u'가') + "[b9]");
    EXPECT_EQ(SheetText::line(f.cells(), 1), QStringLiteral("9가가"));
    EXPECT_EQ(f.caret(), (CellPos{1, 1}));
}

TEST(CellEditorWidget, CtrlZUndoesAndCtrlYOrCtrlShiftZRedoesTheStudentsSteps)
{
    FrameFixture f;
    TSorEdit* edt = f.edt();
    edt->setFocus();
    for (const char* syllable : {"가", "나", "다"}) {
        preedit(edt, "ㄱ");
        commit(edt, QString::fromUtf8(syllable));
    }
    for (int i = 0; i < 3; ++i)
        key(edt, Qt::Key_Z, "\x1a", Qt::ControlModifier);
    EXPECT_TRUE(SheetText::dump(f.cells()).isEmpty());
    EXPECT_EQ(f.caret(), (CellPos{0, 1}));
    EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("0 자")) << "the count follows the paper";

    key(edt, Qt::Key_Y, "\x19", Qt::ControlModifier);
    key(edt, Qt::Key_Y, "\x19", Qt::ControlModifier);
    key(edt, Qt::Key_Z, "\x1a", Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(SheetText::dump(f.cells()), QStringList{"0: 가나다"});
    EXPECT_EQ(f.caret(), (CellPos{0, 4}));
    EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("3 자"));

    const int blankBox = inkIn(edt);
    preedit(edt, "ㄹ");
    key(edt, Qt::Key_Z, "\x1a", Qt::ControlModifier);
    EXPECT_EQ(SheetText::dump(f.cells()), QStringList{"0: 가나다"}) << "the syllable being composed goes first";
    EXPECT_EQ(inkIn(edt), blankBox) << "and the box shows no pre-edit";
    key(edt, Qt::Key_Z, "\x1a", Qt::ControlModifier);
    EXPECT_EQ(SheetText::dump(f.cells()), QStringList{"0: 가나"});
    EXPECT_EQ(edt->text(), QString()) << "the box shows the cell the caret went back to";
}

TEST(CellEditorWidget, RefusesWhatCodePage949CannotHold)
{
    Typing t;
    key(t.edt(), 0, "é");
    commit(t.edt(), "😀");
    key(t.edt(), Qt::Key_End);
    EXPECT_EQ(t.line0(), QStringLiteral("다라"));
    EXPECT_EQ(t.caret(), (CellPos{0, 1}));
}

TEST(CellEditorWidget, NothingIsPastedIntoTheBox)
{
    Typing t;
    QApplication::clipboard()->setText("붙여넣은 글");
    QApplication::clipboard()->setText("붙여넣은 글", QClipboard::Selection);
    QTest::mouseClick(t.edt(), Qt::MiddleButton);
    key(t.edt(), Qt::Key_V, "\x16", Qt::ControlModifier);
    key(t.edt(), Qt::Key_Insert, {}, Qt::ShiftModifier);
    key(t.edt(), Qt::Key_Insert, {}, Qt::ShiftModifier);
    QTest::keyClick(t.edt(), Qt::Key_Right);
    EXPECT_EQ(t.line0(), QStringLiteral("다라"));
    // The box's own menu would paste; the frame's menu offers only spelling.
    EXPECT_NE(t.edt()->contextMenuPolicy(), Qt::DefaultContextMenu);
}

TEST(CellEditorWidget, TypingAWholeEssayLosesNoCharacter)
{
    QFile file(SourceDir() + "/tests/writing/data/sample-essay.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString essay = QString::fromUtf8(file.readAll());
    FrameFixture f;
    TSorEdit* edt = f.edt();
    edt->setFocus();
    QString expected;
    for (QChar c : essay) {
        if (c == u'\n') {
            key(edt, Qt::Key_Return, "\r");
            continue;
        }
        key(edt, c == u' ' ? Qt::Key_Space : 0, QString(c));
        if (!c.isSpace())
            expected += c.unicode() < 0x80 ? CellEditorEngine::ToFullWidth(c) : QString(c);
    }
    QString written;
    const ManuscriptGrid& grid = f.cells();
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 1; column <= 21; ++column)
            written += grid.cell(line, column).trimmed();
    written.remove(u' ');
    EXPECT_EQ(written, expected);
    EXPECT_GT(grid.lineCount(), 80);
}
