#include "correction/ScoreSheet.h"
#include "correction/SuggestionOverlay.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "support/TeacherWidgets.h"
#include "ui/PictureButton.h"
#include "writing/ManuscriptRules.h"

#include <QAccessible>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

// An essay whose first paragraph lacks its blank cell (page 1) and which has a blank after
// a full stop on line 31 (page 2).
DataSet EssayWithRuleBreaks()
{
    ManuscriptGrid grid(40);
    for (int column = 1; column <= 4; ++column)
        grid.setCell(0, column, QStringList{"가", "나", "다", "."}[column - 1]);
    const QStringList line31 = {"", "라", ".", "", "마", "."};
    for (int column = 1; column <= line31.size(); ++column)
        grid.setCell(31, column, line31[column - 1]);
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, "st01", grid);
    return record;
}

struct Teacher {
    explicit Teacher(const QString& editable = "1")
    {
        CreateFrmTemp();
        frame->resize(1000, 690);
        frame->show();
        frame->Session().ReadTeacherFields(
            LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "", "", editable, "제목", "77", "", "Y"}));
        if (editable != "1")
            frame->SetReadOnly();
        frame->LoadCorrection(EssayWithRuleBreaks(), DataSet(CorrectionRecord::fields()));
        QApplication::processEvents();
    }
    SuggestionOverlay* overlay() const
    {
        return frame->findChild<SuggestionOverlay*>(QStringLiteral("ruleSuggestions"));
    }
    QLabel* score() const { return frame->findChild<QLabel*>(QStringLiteral("lblRuleScore")); }

    std::unique_ptr<TfmeTeacher> frame = std::make_unique<TfmeTeacher>(nullptr);
};

}

TEST(RuleSuggestions, TheTeacherSeesTheFindingsAndTurnsOneIntoAMarkWithF7)
{
    Teacher t;
    SuggestionOverlay* overlay = t.overlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->isVisible());
    ASSERT_EQ(overlay->Shown().size(), 1);
    EXPECT_EQ(overlay->Shown()[0].hint, ManuscriptRules::Hint(ManuscriptRules::Rule::ParagraphIndent));
    EXPECT_EQ(overlay->Shown()[0].box,
              QRect(TfrmTemp::kGridOrigin + QPoint(TfrmTemp::kCounterWidth, 0), QSize(29, 29)));
    EXPECT_TRUE(t.score()->isVisible());
    EXPECT_TRUE(t.score()->text().startsWith(QStringLiteral("원고지 규칙 2건: 원고지작성법 8점 제안")));
    const QStringList scores = t.frame->Session().Scores().points();
    const ScoreSheet& sheet = t.frame->Session().Scores();
    EXPECT_EQ(sheet.data(sheet.index(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn), ScoreSheet::SuggestionRole)
                  .toString(),
              "8")
        << "the sheet's row shows the suggestion";

    TSorBoard* board = W(*t.frame).Board;
    const QString described = QAccessible::queryAccessibleInterface(board)->text(QAccessible::Description);
    EXPECT_TRUE(described.contains(QStringLiteral("원고지 규칙 제안 1건")
                                   + QStringLiteral(", F7로 첨삭합니다. 1줄 1칸: 원고지: 문단 첫 칸은 비웁니다.")))
        << described.toStdString();
    QTest::keyClick(board, Qt::Key_F7);
    ASSERT_EQ(t.frame->Session().Page().marks().size(), 1);
    const CorrectionRecord::MarkRow& mark = t.frame->Session().Page().marks()[0];
    EXPECT_EQ(mark.drawTool, int(dtText));
    EXPECT_EQ(mark.strings, ManuscriptRules::Hint(ManuscriptRules::Rule::ParagraphIndent));
    EXPECT_TRUE(overlay->Shown().isEmpty()) << "the suggestion became a mark";
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(board)
                     ->text(QAccessible::Description)
                     .contains(QStringLiteral("원고지 규칙")));
    EXPECT_TRUE(t.frame->Session().Modified());

    QTest::keyClick(board, Qt::Key_F7);
    EXPECT_EQ(t.frame->Session().Page().marks().size(), 1) << "no suggestion is left on the page";
    EXPECT_EQ(t.frame->Session().Scores().points(), scores) << "the score is only suggested";

    t.frame->cmbListChange(1);
    ASSERT_EQ(overlay->Shown().size(), 1);
    EXPECT_EQ(overlay->Shown()[0].cell, (CellPos{31, 4}));
    EXPECT_EQ(overlay->Shown()[0].box.top(), TfrmTemp::kGridOrigin.y() + 29);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(board)
                    ->text(QAccessible::Description)
                    .contains(QStringLiteral("2줄 4칸: ") + ManuscriptRules::Hint(overlay->Shown()[0].rule)))
        << "lines are counted on the page";

    // The teacher takes the suggested score with F7 in the scoring sheet.
    QTest::mouseClick(W(*t.frame).Image6, Qt::LeftButton);
    W(*t.frame).pGrid->setFocus();
    QTest::keyClick(W(*t.frame).pGrid, Qt::Key_F7);
    EXPECT_EQ(sheet.text(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn), "8");
}

TEST(RuleSuggestions, ShiftF7ListsThePageSuggestionsAndTheOneChosenBecomesAMark)
{
    Teacher t;
    TSorBoard* board = W(*t.frame).Board;
    board->setFocus();
    QTest::keyClick(board, Qt::Key_F7, Qt::ShiftModifier);
    auto* menu = board->findChild<QMenu*>(QStringLiteral("mnuRuleSuggestions"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("1줄 1칸: 원고지: 문단 첫 칸은 비웁니다"));
    EXPECT_TRUE(t.frame->Session().Page().marks().isEmpty()) << "listing marks nothing";

    menu->actions()[0]->trigger();
    ASSERT_EQ(t.frame->Session().Page().marks().size(), 1);
    EXPECT_EQ(t.frame->Session().Page().marks()[0].strings,
              ManuscriptRules::Hint(ManuscriptRules::Rule::ParagraphIndent));
    EXPECT_TRUE(t.overlay()->Shown().isEmpty());
}

TEST(RuleSuggestions, ARunThatMayNotChangeTheCorrectionShowsNone)
{
    Teacher t("0");
    EXPECT_FALSE(t.overlay()->isVisible());
    EXPECT_FALSE(t.score()->isVisible());
    const ScoreSheet& sheet = t.frame->Session().Scores();
    EXPECT_FALSE(
        sheet.data(sheet.index(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn), ScoreSheet::SuggestionRole)
            .isValid());
    QTest::keyClick(W(*t.frame).Board, Qt::Key_F7);
    QTest::keyClick(W(*t.frame).Board, Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_TRUE(t.frame->Session().Page().marks().isEmpty());
    EXPECT_EQ(W(*t.frame).Board->findChild<QMenu*>(QStringLiteral("mnuRuleSuggestions")), nullptr);
}
