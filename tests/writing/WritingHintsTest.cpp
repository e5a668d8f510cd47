#include "FrameFixture.h"
#include "SheetText.h"
#include "writing/WritingChecks.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 20000;

// A Hangul syllable as a key event brings it without an input method.
void typeSyllables(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

// The frame's checks have caught up with the cells.
bool settled(FrameFixture& f)
{
    return QTest::qWaitFor([&] { return !f.editor->checks().Busy(); }, kWaitMs);
}

struct Writing : FrameFixture {
    Writing()
    {
        editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        edt()->setFocus();
    }
    QString rules() const { return label("lblRules")->text(); }
    QString hint(int line, int column) const
    {
        return cells().data(cells().index(line, column), Qt::AccessibleDescriptionRole).toString();
    }
};

}

// The student forgets the paragraph's blank cell, sees the hint, and types the blank.
TEST(WritingHints, AParagraphWithoutItsBlankShowsTheFindingUntilTheBlankIsTyped)
{
    Writing f;
    typeSyllables(f.edt(), QStringLiteral("우리는"));
    ASSERT_TRUE(settled(f));
    EXPECT_EQ(f.rules(), QStringLiteral("원고지 규칙 1"));
    EXPECT_TRUE(f.label("lblRules")->isVisible());
    EXPECT_EQ(f.hint(0, 1), QStringLiteral("원고지: 문단 첫 칸은 비웁니다"));
    EXPECT_EQ(f.cells().data(f.cells().index(0, 1), Qt::ToolTipRole).toString(), f.hint(0, 1));
    EXPECT_EQ(SheetText::line(f.cells(), 0), QStringLiteral("우리는")) << "a hint changes no cell";

    // The mark in the cell's top right corner.
    const QRect cell = f.grid()->visualRect(f.cells().index(0, 1));
    const QImage shot = f.grid()->viewport()->grab().toImage();
    const QColor corner = shot.pixelColor(cell.right() - 2, cell.top() + 2);
    EXPECT_GT(corner.red(), 200);
    EXPECT_LT(corner.blue(), 60);

    // F7 takes the caret to it; the cell editor tells it.
    QTest::keyClick(f.edt(), Qt::Key_F7);
    EXPECT_EQ(f.caret(), (CellPos{0, 1}));
    EXPECT_EQ(f.edt()->accessibleDescription(), f.hint(0, 1));

    QTest::keyClick(f.edt(), Qt::Key_Space);
    EXPECT_EQ(SheetText::line(f.cells(), 0), QStringLiteral("_우리는"));
    ASSERT_TRUE(settled(f));
    EXPECT_EQ(f.rules(), QStringLiteral("원고지 규칙 0"));
    EXPECT_EQ(f.hint(0, 1), QString());
    EXPECT_EQ(f.edt()->accessibleDescription(), QString());
}

TEST(WritingHints, ShiftF7ListsSuggestionsAndOneReplacesTheWord)
{
    Writing f;
    QTest::keyClick(f.edt(), Qt::Key_Space);
    typeSyllables(f.edt(), QStringLiteral("안녕하세여"));
    ASSERT_TRUE(settled(f));
    ASSERT_NE(f.editor->checks().MisspellingAt({0, 2}), nullptr);
    EXPECT_TRUE(f.hint(0, 6).contains(QStringLiteral("맞춤법")));

    QTest::keyClick(f.edt(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(f.caret(), (CellPos{0, 2})) << "the caret goes to the misspelt word";
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; }, kWaitMs));
    const QList<QAction*> actions = menu->actions();
    QStringList entries;
    for (QAction* a : actions)
        entries.append(a->text());
    ASSERT_TRUE(entries.contains(QStringLiteral("안녕하세요"))) << entries.join(u' ').toStdString();
    EXPECT_EQ(entries.back(), QStringLiteral("사전에 추가"));

    actions[entries.indexOf(QStringLiteral("안녕하세요"))]->trigger();
    menu->close();
    EXPECT_EQ(SheetText::line(f.cells(), 0), QStringLiteral("_안녕하세요"));
    ASSERT_TRUE(settled(f));
    EXPECT_TRUE(f.editor->checks().Misspellings().isEmpty());
}

TEST(WritingHints, AMissingDictionaryLeavesOneStatusLineAndTheRules)
{
    Writing f;
    EXPECT_FALSE(f.label("lblSpelling")->isVisible());
    f.editor->checks().UseDictionary(QStringLiteral("/nonexistent/ko_KR"), QString());
    QLabel* status = f.label("lblSpelling");
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(status->text().contains(QStringLiteral("hunspell-ko")));
    EXPECT_FALSE(status->text().contains(u'\n'));

    typeSyllables(f.edt(), QStringLiteral("안녕하세여"));
    ASSERT_TRUE(settled(f));
    EXPECT_TRUE(f.editor->checks().Misspellings().isEmpty());
    EXPECT_EQ(f.rules(), QStringLiteral("원고지 규칙 1"));
}

TEST(WritingHints, AReadOnlyEssayIsNotChecked)
{
    FrameFixture f(FrameFixture::fields("0", "", "0"));
    EXPECT_FALSE(f.editor->checks().Started());
    EXPECT_FALSE(f.label("lblRules")->isVisible());
}
