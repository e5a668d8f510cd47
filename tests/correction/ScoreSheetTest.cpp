#include "correction/ScoreSheet.h"

#include "core/AppError.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// The messages the sheet gives for the frame to show, in order.
struct SheetMessages {
    explicit SheetMessages(ScoreSheet& sheet)
    {
        QObject::connect(&sheet, &ScoreSheet::message, [this](const QString& text) { texts << text; });
    }
    QStringList texts;
};

const QString kTooSmall = QStringLiteral("총점이 0점 미만입니다.");

// Types text into a score cell one key at a time, as the grid's editor reports it.
void Type(ScoreSheet& sheet, int row, const QString& text)
{
    const QModelIndex cell = sheet.index(row, ScoreSheet::kScoreColumn);
    for (qsizetype n = 1; n <= text.size(); ++n)
        sheet.setData(cell, text.left(n));
}

QString Score(const ScoreSheet& sheet, int row)
{
    return sheet.text(row, ScoreSheet::kScoreColumn);
}

// Rows 2, 3, 5, 6, 7 typed in that order.
void TypeAll(ScoreSheet& sheet, const QStringList& scores)
{
    const int rows[] = {2, 3, 5, 6, 7};
    for (int i = 0; i < 5; ++i)
        Type(sheet, rows[i], scores[i]);
}

TEST(ScoreSheet, TotalsFollowEachTypedKey)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"", "", "5", "5", "5"});
    EXPECT_EQ(Score(sheet, 4), "15");

    Type(sheet, 2, "4");
    EXPECT_EQ(Score(sheet, 1), "4");
    EXPECT_EQ(sheet.total(), "19");
    Type(sheet, 2, "45");
    EXPECT_EQ(Score(sheet, 1), "45");
    EXPECT_EQ(sheet.total(), "60");
    EXPECT_TRUE(messages.texts.isEmpty());
}

struct RangeCase {
    int row;
    QString typed;         // typed key by key
    QStringList messages;  // one per refused key
    QString subtotal;      // of the row's group afterwards
    QString total;
};

class ScoreSheetRange : public ::testing::TestWithParam<RangeCase> {};

// A wrong score stays in its cell, named by its row; no sum is shown that the cells do not
// add up to: the subtotal over it and the total stay empty until it is put right.
TEST_P(ScoreSheetRange, InvalidTextStaysInTheCellAndNoSumDisagreesWithIt)
{
    const RangeCase& c = GetParam();
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    sheet.setTotal(QStringLiteral("77"));
    Type(sheet, c.row, c.typed);
    EXPECT_EQ(Score(sheet, c.row), c.typed);
    EXPECT_EQ(messages.texts, c.messages);
    EXPECT_EQ(Score(sheet, c.row <= 3 ? 1 : 4), c.subtotal);
    EXPECT_EQ(sheet.total(), c.total);
    EXPECT_EQ(sheet.totalValid(), c.messages.isEmpty());
}

const QString kMax50 = QStringLiteral("초점: 0 부터 50 이하의 값만 들어갈수 있습니다.");
const QString kMax20 = QStringLiteral("서평: 0 부터 20 이하의 값만 들어갈수 있습니다.");
const QString kManuscript10 = QStringLiteral("원고지작성법: 0 부터 10 이하의 값만 들어갈수 있습니다.");
const QString kParagraph10 = QStringLiteral("단락: 0 부터 10 이하의 값만 들어갈수 있습니다.");

INSTANTIATE_TEST_SUITE_P(Cases, ScoreSheetRange,
                         ::testing::Values(RangeCase{2, "55", {kMax50}, "", ""},  // 5 accepted, 55 refused
                                           RangeCase{2, "50", {}, "50", "50"}, RangeCase{3, "21", {kMax20}, "", ""},
                                           RangeCase{3, "-5", {kMax20, kMax20}, "", ""},  // "-" alone is refused too
                                           RangeCase{5, "11", {kManuscript10}, "", ""},
                                           RangeCase{7, "10", {}, "10", "10"},
                                           RangeCase{6, "a", {kParagraph10}, "", ""},
                                           RangeCase{2, "1234", {kMax50, kMax50}, "", ""},
                                           RangeCase{2, "99999999999", QStringList(10, kMax50), "", ""}));

TEST(ScoreSheet, PuttingAWrongScoreRightBringsTheSumsBack)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"40", "10", "5", "", ""});
    sheet.setData(sheet.index(3, 2), QStringLiteral("105"));  // the review takes 20 at most
    EXPECT_EQ(Score(sheet, 1), "");
    EXPECT_EQ(Score(sheet, 4), "5") << "the form's sum does not include the wrong cell";
    EXPECT_EQ(sheet.total(), "");
    EXPECT_EQ(sheet.data(sheet.index(3, 2), Qt::ToolTipRole).toString(), kMax20);
    EXPECT_FALSE(sheet.data(sheet.index(2, 2), Qt::ToolTipRole).isValid());
    sheet.setData(sheet.index(3, 2), QStringLiteral("15"));
    EXPECT_EQ(Score(sheet, 1), "55");
    EXPECT_EQ(sheet.total(), "60");
    EXPECT_FALSE(sheet.data(sheet.index(3, 2), Qt::ToolTipRole).isValid());
    EXPECT_EQ(messages.texts, QStringList{kMax20});
}

// The suggested 원고지작성법 score is a hint in the empty cell, never a score, until taken.
TEST(ScoreSheet, ASuggestedFormScoreIsOnlyAHintUntilTheTeacherTakesIt)
{
    ScoreSheet sheet;
    const QModelIndex cell = sheet.index(ScoreSheet::kManuscriptRow, ScoreSheet::kScoreColumn);
    TypeAll(sheet, {"40", "10", "", "7", ""});
    sheet.suggestManuscriptScore(8, QStringLiteral("원고지 규칙 2건"));
    EXPECT_EQ(Score(sheet, ScoreSheet::kManuscriptRow), "");
    EXPECT_EQ(sheet.total(), "57") << "a suggestion adds nothing";
    EXPECT_EQ(sheet.data(cell, ScoreSheet::SuggestionRole).toString(), "8");
    const QString said = QStringLiteral("원고지 규칙 2건: 원고지작성법 8점 제안. F7로 넣습니다.");
    EXPECT_EQ(sheet.data(cell, Qt::ToolTipRole).toString(), said);
    EXPECT_EQ(sheet.data(cell, Qt::AccessibleDescriptionRole).toString(), said);
    EXPECT_FALSE(sheet.data(sheet.index(6, 2), ScoreSheet::SuggestionRole).isValid()) << "only its own row";

    const QSignalSpy edited(&sheet, &ScoreSheet::edited);
    ASSERT_TRUE(sheet.acceptSuggestion());
    EXPECT_EQ(Score(sheet, ScoreSheet::kManuscriptRow), "8");
    EXPECT_EQ(Score(sheet, 4), "15");
    EXPECT_EQ(sheet.total(), "65");
    EXPECT_EQ(edited.size(), 1) << "taking it is the teacher's work";
    EXPECT_FALSE(sheet.data(cell, ScoreSheet::SuggestionRole).isValid());
    EXPECT_FALSE(sheet.data(cell, Qt::AccessibleDescriptionRole).isValid());
    EXPECT_FALSE(sheet.acceptSuggestion()) << "a score in the cell is never overwritten";

    sheet.setData(cell, QStringLiteral("12"));
    EXPECT_FALSE(sheet.acceptSuggestion());
    EXPECT_EQ(sheet.data(cell, Qt::ToolTipRole).toString(), ScoreSheet::rangeMessage(ScoreSheet::kManuscriptRow))
        << "a wrong score says what the row takes";

    sheet.setData(cell, QString());
    EXPECT_EQ(sheet.data(cell, ScoreSheet::SuggestionRole).toString(), "8") << "an emptied cell shows it again";
    sheet.suggestManuscriptScore(-1, QString());
    EXPECT_FALSE(sheet.data(cell, ScoreSheet::SuggestionRole).isValid());
    EXPECT_FALSE(sheet.acceptSuggestion());
    EXPECT_EQ(Score(sheet, ScoreSheet::kManuscriptRow), "");
}

TEST(ScoreSheet, EmptiedCellCountsZero)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"30", "10", "", "", "3"});
    EXPECT_EQ(sheet.total(), "43");
    sheet.setData(sheet.index(2, 2), QStringLiteral("3"));
    sheet.setData(sheet.index(2, 2), QString());
    EXPECT_EQ(Score(sheet, 2), "");
    EXPECT_EQ(Score(sheet, 1), "10");
    EXPECT_EQ(sheet.total(), "13");
    EXPECT_TRUE(messages.texts.isEmpty());
}

struct DeductionCase {
    QStringList scores;
    QString total;
    bool deductionAfter;
    bool warned;
};

class ScoreSheetDeduction : public ::testing::TestWithParam<DeductionCase> {};

TEST_P(ScoreSheetDeduction, CheckingTheBoxTakesTwentyOffOrRefusesBelowOne)
{
    const DeductionCase& c = GetParam();
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, c.scores);
    QSignalSpy boxes(&sheet, &ScoreSheet::deductionChanged);
    sheet.setDeduction(true);
    EXPECT_EQ(sheet.total(), c.total);
    EXPECT_EQ(sheet.deduction(), c.deductionAfter);
    EXPECT_EQ(messages.texts, c.warned ? QStringList{kTooSmall} : QStringList{});
    // The box on screen follows every change, the clearing included.
    EXPECT_EQ(boxes.size(), c.deductionAfter ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScoreSheetDeduction,
                         ::testing::Values(DeductionCase{{"10", "5", "0", "0", "0"}, "0", false, true},
                                           DeductionCase{{"10", "5", "", "", "5"}, "0", false, true},  // exactly 20
                                           DeductionCase{{"", "", "", "", ""}, "0", false, true},
                                           DeductionCase{{"10", "5", "", "6", ""}, "1", true, false},
                                           DeductionCase{{"50", "20", "10", "10", "10"}, "80", true, false}));

TEST(ScoreSheet, DeductionFollowsLaterEditsAndUnchecking)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"40", "", "", "", ""});
    sheet.setDeduction(true);
    EXPECT_EQ(sheet.total(), "20");
    Type(sheet, 3, "15");
    EXPECT_EQ(sheet.total(), "35");
    sheet.setDeduction(false);
    EXPECT_EQ(sheet.total(), "55");
    // Lowering a score until the deduction would leave nothing clears the box.
    sheet.setDeduction(true);
    sheet.setData(sheet.index(2, 2), QStringLiteral("4"));
    EXPECT_EQ(messages.texts, QStringList{kTooSmall});
    EXPECT_FALSE(sheet.deduction());
    EXPECT_EQ(sheet.total(), "0");
}

TEST(ScoreSheet, DeductionWithInvalidFocusScoreRepeatsItsMessageAndShowsNoTotal)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"5", "10", "", "", ""});
    Type(sheet, 2, "55");
    EXPECT_EQ(sheet.total(), "");
    sheet.setDeduction(true);
    EXPECT_TRUE(sheet.deduction());
    EXPECT_EQ(sheet.total(), "");
    EXPECT_EQ(messages.texts, (QStringList{kMax50, kMax50}));
}

TEST(ScoreSheet, TypedTotalStaysWithinZeroToHundred)
{
    const QString kRange = QStringLiteral("0 부터 100 점까지만 입력하실 수 있습니다.");
    struct Case {
        QString typed;
        QString total;
        int messages;
    } cases[] = {{"150", "100", 1}, {"100", "100", 0},   {"0", "0", 0},
                 {"101", "100", 1}, {"0100", "0100", 0}, {"99999999999999999999999", "100", 1},
                 {"abc", "abc", 0}};
    for (const Case& c : cases) {
        ScoreSheet sheet;
        const SheetMessages messages(sheet);
        sheet.typeTotal(c.typed);
        EXPECT_EQ(sheet.total(), c.total) << c.typed.toStdString();
        EXPECT_EQ(messages.texts, QStringList(c.messages, kRange)) << c.typed.toStdString();
    }
    // Text written by code is not checked.
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    sheet.setTotal(QStringLiteral("150"));
    EXPECT_EQ(sheet.total(), "150");
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(ScoreSheet, LoadingWithDeductionRecomputesWithoutItKeepsTheLaunchTotal)
{
    const QStringList stored{"40", "30", "10", "18", "5", "5", "8"};
    {
        ScoreSheet sheet;
        const SheetMessages messages(sheet);
        sheet.setTotal(QStringLiteral("77"));
        sheet.load(stored, true);
        EXPECT_EQ(sheet.points(), stored);
        EXPECT_TRUE(sheet.deduction());
        EXPECT_EQ(sheet.total(), "38");
        EXPECT_TRUE(messages.texts.isEmpty());
    }
    {
        ScoreSheet sheet;
        const SheetMessages messages(sheet);
        sheet.setTotal(QStringLiteral("77"));
        sheet.load(stored, false);
        EXPECT_EQ(sheet.points(), stored);
        EXPECT_FALSE(sheet.deduction());
        EXPECT_EQ(sheet.total(), "77");
    }
    {
        // Stored cells are written as they are, without checks, and empty ones stay empty.
        ScoreSheet sheet;
        const SheetMessages messages(sheet);
        sheet.load({"", "", "", "", "", "", ""}, false);
        EXPECT_EQ(sheet.points(), QStringList(7, QString()));
        EXPECT_TRUE(messages.texts.isEmpty());
    }
}

TEST(ScoreSheet, AnInvalidScoreIsNeverSaved)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    TypeAll(sheet, {"45", "10", "", "", ""});
    EXPECT_NO_THROW(sheet.validateScores());
    Type(sheet, 6, "55");
    try {
        sheet.validateScores();
        FAIL() << "an invalid score was let through";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), kParagraph10);
    }
    sheet.setData(sheet.index(6, 2), QStringLiteral("5"));
    EXPECT_NO_THROW(sheet.validateScores());

    ScoreSheet loaded;
    loaded.load({"", "", "25", "", "", "", ""}, false);
    EXPECT_THROW(loaded.validateScores(), AppError);
}

TEST(ScoreSheet, OnlyTypedScoresTakeText)
{
    ScoreSheet sheet;
    const SheetMessages messages(sheet);
    for (int row = 0; row < ScoreSheet::kRows; ++row) {
        for (int column = 0; column < ScoreSheet::kColumns; ++column) {
            const QModelIndex cell = sheet.index(row, column);
            const bool typed = column == 2 && ScoreSheet::isTypedScore(row);
            EXPECT_EQ(bool(sheet.flags(cell) & Qt::ItemIsEditable), typed) << row << "," << column;
            const QString before = sheet.text(row, column);
            EXPECT_EQ(sheet.setData(cell, QStringLiteral("7")), typed);
            EXPECT_EQ(sheet.text(row, column), typed ? QStringLiteral("7") : before);
        }
    }
    EXPECT_EQ(sheet.headerData(1, Qt::Horizontal).toString(), "배점");
}

}
