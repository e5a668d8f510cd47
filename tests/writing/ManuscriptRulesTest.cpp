#include "SheetText.h"
#include "writing/ManuscriptRules.h"
#include "writing/SheetSnapshot.h"

#include <gtest/gtest.h>

using ManuscriptRules::Rule;

namespace {

// Lines in SheetText's notation: "_" a blank cell, "[ab]" a cell of two, "|." the margin.
struct Case {
    const char* name;
    QStringList lines;
    QStringList findings;  // "line:column"
};

QStringList findings(const QStringList& lines, Rule rule)
{
    ManuscriptGrid grid(int(lines.size()) + 2);
    for (qsizetype i = 0; i < lines.size(); ++i)
        SheetText::setLine(grid, int(i), lines[i]);
    QStringList out;
    for (const ManuscriptRules::Finding& f : ManuscriptRules::Check(SheetSnapshot::of(grid)))
        if (f.rule == rule)
            out.append(QStringLiteral("%1:%2").arg(f.cell.line).arg(f.cell.column));
    return out;
}

void expectFindings(Rule rule, const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(findings(c.lines, rule), c.findings) << c.name;
}

// A full line of 20 syllables; `last` replaces the 20th.
QString fullLine(const QString& last = QString())
{
    const QString line = SheetText::syllables(0, 20);
    return last.isEmpty() ? line : line.left(19) + last;
}

}

TEST(ManuscriptRules, AParagraphBeginsWithABlankCell)
{
    expectFindings(Rule::ParagraphIndent,
                   {
                       {"indented first paragraph", {"_가나다."}, {}},
                       {"first paragraph not indented", {"가나다."}, {"0:1"}},
                       {"after a short line", {"_가나다.", "라마."}, {"1:1"}},
                       {"after an empty line", {"_가나.", "", "다라."}, {"2:1"}},
                       {"full stop one short of the edge", {"_" + SheetText::syllables(0, 17) + ".", "가나."}, {"1:1"}},
                       {"a sentence that goes on past the edge", {"_" + SheetText::syllables(0, 19), "가나."}, {}},
                       {"full line ending its sentence, next not indented",
                        {"_" + SheetText::syllables(0, 18) + ".", "가나."},
                        {}},
                   });
}

TEST(ManuscriptRules, OnlyAParagraphStartsWithABlankCell)
{
    expectFindings(Rule::LineStartBlank,
                   {
                       {"sentence goes on after a full line", {fullLine(), "_가나."}, {"1:1"}},
                       {"word gap at the edge carried over", {SheetText::syllables(0, 19) + "_", "_가."}, {"1:1"}},
                       {"full line ends its sentence: a new paragraph", {fullLine("."), "_가나."}, {}},
                       {"question mark in the margin ends it", {fullLine() + "|?", "_가나."}, {}},
                       {"quoted question at the edge", {SheetText::syllables(0, 18) + "？″", "_가."}, {}},
                   });
}

TEST(ManuscriptRules, NoBlankAfterAFullStopOrComma)
{
    expectFindings(Rule::BlankAfterStop, {
                                             {"full stop then the next sentence", {"_가.나다."}, {}},
                                             {"blank after a full stop", {"_가._나다."}, {"0:4"}},
                                             {"blank after a comma", {"_가,_나."}, {"0:4"}},
                                             {"comma and letter share a cell", {"_[a,]_나."}, {"0:3"}},
                                             {"end of a paragraph", {"_가나.___"}, {}},
                                             {"a date's full stops", {"_[19][19]._3._1.일"}, {}},
                                         });
}

TEST(ManuscriptRules, ABlankAfterAQuestionOrExclamationMark)
{
    expectFindings(Rule::NoBlankAfterMark, {
                                               {"blank after the question mark", {"_가？_나."}, {}},
                                               {"text right after it", {"_가？나."}, {"0:3"}},
                                               {"typed exclamation mark", {"_가！나."}, {"0:3"}},
                                               {"a record's plain exclamation mark", {"_가!나."}, {"0:3"}},
                                               {"a closing quote may follow", {"_″가？″_나."}, {}},
                                               {"at the edge the next line goes on", {fullLine("？"), "나."}, {}},
                                           });
}

TEST(ManuscriptRules, NoClosingMarkAtALineStart)
{
    expectFindings(Rule::MarkAtLineStart, {
                                              {"full stop", {fullLine(), ".가."}, {"1:1"}},
                                              {"comma", {fullLine(), ",가."}, {"1:1"}},
                                              {"question mark", {fullLine(), "？"}, {"1:1"}},
                                              {"closing parenthesis", {fullLine(), "）가."}, {"1:1"}},
                                              {"in the margin instead", {fullLine() + "|.", "가."}, {}},
                                              {"an opening quote", {fullLine(), "″가.″"}, {}},
                                          });
}

TEST(ManuscriptRules, DigitsAndSmallLettersTwoToACell)
{
    expectFindings(Rule::HalfWidthPairs, {
                                             {"year in pairs", {"_[20][01]년"}, {}},
                                             {"a lone digit", {"_8월"}, {}},
                                             {"odd digit last", {"_[17]5[cm]로"}, {}},
                                             {"odd digit first", {"_2[00]1년"}, {"0:2"}},
                                             {"small letters", {"_[ab]c[de]"}, {"0:3"}},
                                             {"across the edge", {SheetText::syllables(0, 19) + "1", "[75]"}, {"0:20"}},
                                             {"digits then letters", {"_5c"}, {}},
                                         });
}

TEST(ManuscriptRules, ACapitalLetterHasItsCell)
{
    expectFindings(Rule::CapitalAlone, {
                                           {"typed capital", {"_Ａ"}, {}},
                                           {"two capitals", {"_[AB]"}, {"0:2"}},
                                           {"capital with a small letter", {"_[Ab]"}, {"0:2"}},
                                           {"small letters", {"_[ab]"}, {}},
                                       });
}

TEST(ManuscriptRules, OneFindingPerCellInReadingOrderAndAHintEach)
{
    ManuscriptGrid grid(4);
    SheetText::setLine(grid, 0, "가?나");
    SheetText::setLine(grid, 1, "_다._라");
    const QList<ManuscriptRules::Finding> found = ManuscriptRules::Check(SheetSnapshot::of(grid));
    const QList<ManuscriptRules::Finding> expected = {
        {{0, 1}, Rule::ParagraphIndent}, {{0, 2}, Rule::NoBlankAfterMark}, {{1, 4}, Rule::BlankAfterStop}};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(ManuscriptRules::Hint(Rule::ParagraphIndent), QStringLiteral("원고지: 문단 첫 칸은 비웁니다"));
    for (Rule rule : {Rule::LineStartBlank, Rule::BlankAfterStop, Rule::NoBlankAfterMark, Rule::MarkAtLineStart,
                      Rule::HalfWidthPairs, Rule::CapitalAlone})
        EXPECT_TRUE(ManuscriptRules::Hint(rule).startsWith(QStringLiteral("원고지: ")));
}
