#include "correction/ScoreSheet.h"
#include "correction/ScoreSheetView.h"
#include "correction/TotalBox.h"

#include "support/RecordingDialogs.h"
#include "ui/ErrorBox.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

// The bottom panel below its tab strip: the sheet's area and the total box beside it.
class ScoreSheetScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The sheet's messages shown as the frame shows them.
        QObject::connect(&sheet, &ScoreSheet::message, [](const QString& text) { ShowInfo(text); });
        panel.resize(737, 107);
        view.setGeometry(0, 0, 516, 107);
        box.setGeometry(516, 0, 221, 107);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        view.pGridTopLeftChanged();
    }

    // The cell editor on screen, if one is open.
    QLineEdit* OpenEditor() const
    {
        for (QLineEdit* editor : view.pGrid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }

    // Selects a score cell, which opens its editor, and types into the editor.
    QLineEdit* Select(int row)
    {
        view.pGrid->setFocus();
        const QModelIndex cell = sheet.index(row, ScoreSheet::kScoreColumn);
        view.pGrid->setCurrentIndex(cell);
        if (!OpenEditor())
            view.pGrid->edit(cell);  // already current: a click on it opens the editor again
        return OpenEditor();
    }

    void TypeInto(int row, const QString& keys)
    {
        QLineEdit* editor = Select(row);
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, keys);
    }

    QString Score(int row) const { return sheet.text(row, ScoreSheet::kScoreColumn); }

    ScopedRecordingDialogs dialogs;
    ScoreSheet sheet;
    QWidget panel;
    TScoreSheetView view{sheet, &panel};
    TTotalBox box{sheet, &panel};
};

TEST_F(ScoreSheetScreen, TypingInTheGridUpdatesSubtotalsAndTheTotalBox)
{
    TypeInto(5, "7");
    TypeInto(2, "45");
    EXPECT_EQ(Score(1), "45");
    EXPECT_EQ(Score(4), "7");
    EXPECT_EQ(box.text(), "52");

    // A wrong score is marked and named by its row; no sum disagrees with the cells.
    TypeInto(3, "55");
    EXPECT_EQ(Score(3), "55");
    EXPECT_EQ(Score(1), "");
    EXPECT_EQ(box.text(), "?");
    EXPECT_EQ(box.palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(box.accessibleDescription(), QStringLiteral("서평: 0 부터 20 이하의 값만 들어갈수 있습니다."));
    EXPECT_EQ(dialogs->texts(Kind::Information),
              QStringList{QStringLiteral("서평: 0 부터 20 이하의 값만 들어갈수 있습니다.")});
    const QRect wrong = view.pGrid->visualRect(sheet.index(3, ScoreSheet::kScoreColumn));
    view.pGrid->setCurrentIndex(sheet.index(5, ScoreSheet::kScoreColumn));
    const QImage shown = view.pGrid->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(wrong.left() + 3, wrong.top() + 2), QColor(0xFF, 0xD8, 0xD8)) << "the cell is marked";

    QLineEdit* editor = Select(3);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(Score(1), "50");
    EXPECT_EQ(box.text(), "57");
    EXPECT_EQ(box.palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_TRUE(box.accessibleDescription().isEmpty());
}

// The total shown is read-only, not a disabled box: a screen reader and the keyboard still
// reach it.
TEST_F(ScoreSheetScreen, TheTotalIsAReadOnlyFieldUnlessTyped)
{
    EXPECT_TRUE(box.isReadOnly());
    EXPECT_TRUE(box.isEnabled());
    box.setFocus();
    QTest::keyClicks(&box, "12");
    EXPECT_EQ(sheet.total(), QString());
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&box);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("평점"));
    EXPECT_TRUE(read->state().readOnly);
    EXPECT_FALSE(read->state().disabled);
}

TEST_F(ScoreSheetScreen, SubtotalAndDeductionCellsOpenNoEditor)
{
    for (int row : {1, 4, 8}) {
        view.pGrid->setCurrentIndex(sheet.index(row, ScoreSheet::kScoreColumn));
        QTest::keyClicks(view.pGrid, "9");
        EXPECT_EQ(OpenEditor(), nullptr) << row;
    }
    EXPECT_EQ(sheet.points(), QStringList(7, QString()));
}

TEST_F(ScoreSheetScreen, FixedCellsAreLightYellowScoreCellsWhite)
{
    const QImage shown = view.grab().toImage();
    const QColor yellow(0xFF, 0xFF, 0xD0);
    // Away from the texts: the right part of column 0, the edge of column 1, the score column.
    EXPECT_EQ(shown.pixelColor(280, 2), yellow);                                    // captions
    EXPECT_EQ(shown.pixelColor(280, TScoreSheetView::kRowHeight + 9), yellow);      // row 1, column 0
    EXPECT_EQ(shown.pixelColor(302, 2 * TScoreSheetView::kRowHeight + 9), yellow);  // row 2, column 1
    EXPECT_EQ(shown.pixelColor(366, 2 * TScoreSheetView::kRowHeight + 9), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(366, TScoreSheetView::kRowHeight + 9), QColor(Qt::white));
    // Bold caption text is drawn somewhere in the header's first cell.
    bool dark = false;
    for (int x = 0; x < 300 && !dark; ++x)
        for (int y = 0; y < TScoreSheetView::kRowHeight && !dark; ++y)
            dark = shown.pixelColor(x, y).lightness() < 100;
    EXPECT_TRUE(dark);
}

TEST_F(ScoreSheetScreen, DeductionBoxFollowsRowEightAndHidesWhenItScrollsAway)
{
    // Five rows fit under the captions: row 8 starts out of view.
    EXPECT_EQ(view.CheckBox1->y(), TScoreSheetView::kOutOfSight);
    EXPECT_EQ(view.CheckBox1->x(), TScoreSheetView::kDeductionLeft);

    QScrollBar* bar = view.pGrid->verticalScrollBar();
    bar->setValue(bar->maximum());
    const QRect cell = view.pGrid->visualRect(sheet.index(8, 2));
    const QPoint onView = view.pGrid->viewport()->mapTo(&view, cell.topLeft());
    EXPECT_EQ(view.CheckBox1->y(), onView.y());
    EXPECT_GT(view.CheckBox1->y(), TScoreSheetView::kRowHeight);
    EXPECT_LE(view.CheckBox1->geometry().bottom(), view.height());

    bar->setValue(0);
    EXPECT_EQ(view.CheckBox1->y(), TScoreSheetView::kOutOfSight);
}

TEST_F(ScoreSheetScreen, ClickingTheDeductionBoxRecomputes)
{
    TypeInto(2, "30");
    QScrollBar* bar = view.pGrid->verticalScrollBar();
    bar->setValue(bar->maximum());
    QTest::mouseClick(view.CheckBox1, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(sheet.deduction());
    EXPECT_EQ(box.text(), "10");

    // Too little left: the box clears itself and the total reads 0.
    QLineEdit* editor = Select(2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(Score(2), "3");
    EXPECT_FALSE(view.CheckBox1->isChecked());
    EXPECT_EQ(box.text(), "0");
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{QStringLiteral("총점이 0점 미만입니다.")});
}

TEST_F(ScoreSheetScreen, TotalBoxTakesDigitsOnlyUpToHundred)
{
    box.SetTyped(true);
    (&box)->clear();
    QTest::keyClicks((&box), "1a5-0");
    EXPECT_EQ(box.text(), "100");
    EXPECT_EQ(sheet.total(), "100");
    EXPECT_EQ(dialogs->texts(Kind::Information),
              QStringList{QStringLiteral("0 부터 100 점까지만 입력하실 수 있습니다.")});

    (&box)->clear();
    QTest::keyClicks((&box), "85");
    QTest::keyClick((&box), Qt::Key_Backspace);
    EXPECT_EQ(box.text(), "85");
    EXPECT_EQ(sheet.total(), "85");
}

TEST_F(ScoreSheetScreen, ReadOnlySheetTakesNoKeysNorDeduction)
{
    view.SetReadOnly();
    view.pGrid->setFocus();
    view.pGrid->setCurrentIndex(sheet.index(2, 2));
    QTest::keyClicks(view.pGrid, "9");
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(Score(2), "");
    EXPECT_FALSE(view.CheckBox1->isEnabled());
}

// F7 from any cell of the sheet takes the suggested score; a screen reader hears it first
// as the empty cell's description.
TEST_F(ScoreSheetScreen, F7InTheSheetTakesTheSuggestedScore)
{
    sheet.suggestManuscriptScore(8, QStringLiteral("원고지 규칙 2건"));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view.pGrid);
    ASSERT_NE(table->tableInterface(), nullptr);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->text(QAccessible::Description).contains(QStringLiteral("원고지작성법 8점 제안")))
        << cell->text(QAccessible::Description).toStdString();

    TypeInto(2, "40");
    QTest::keyClick(OpenEditor(), Qt::Key_F7);
    EXPECT_EQ(Score(ScoreSheet::kManuscriptRow), "8");
    EXPECT_EQ(box.text(), "48");
    EXPECT_TRUE(view.pGrid->viewport()->rect().intersects(
        view.pGrid->visualRect(sheet.index(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn))))
        << "the score taken comes into sight";
    EXPECT_TRUE(cell->text(QAccessible::Description).isEmpty());
}

TEST_F(ScoreSheetScreen, AReadOnlySheetTakesNoSuggestion)
{
    sheet.suggestManuscriptScore(8, QStringLiteral("원고지 규칙 2건"));
    view.SetReadOnly();
    view.pGrid->setFocus();
    QTest::keyClick(view.pGrid, Qt::Key_F7);
    EXPECT_EQ(Score(ScoreSheet::kManuscriptRow), "");
}

}

// The captions and eight rows do not fit the panel's 107 pixels: a scroll bar shows, and
// scrolling reaches row 8 and its deduction box.
TEST_F(ScoreSheetScreen, EveryRowIsReachedThroughTheScrollBar)
{
    QScrollBar* bar = view.pGrid->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(view.pGrid->viewport()->rect().contains(
        view.pGrid->visualRect(sheet.index(ScoreSheet::kDeductionRow, ScoreSheet::kScoreColumn))));
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    for (int row = 1; row < ScoreSheet::kRows; ++row)
        if (row >= bar->value() + 1)
            EXPECT_TRUE(view.pGrid->viewport()->rect().contains(
                view.pGrid->visualRect(sheet.index(row, ScoreSheet::kScoreColumn))))
                << row;
    EXPECT_TRUE(view.CheckBox1->isVisible());
    EXPECT_EQ(view.CheckBox1->y(),
              view.pGrid->viewport()->y()
                  + view.pGrid->visualRect(sheet.index(ScoreSheet::kDeductionRow, ScoreSheet::kScoreColumn)).top());
}
