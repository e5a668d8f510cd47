#include "SheetText.h"
#include "writing/SheetSnapshot.h"
#include "writing/SheetWords.h"
#include "writing/SpellChecker.h"
#include "writing/WritingChecks.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 20000;

QStringList words(const WritingChecks& checks)
{
    QStringList out;
    for (const WritingChecks::Misspelling& m : checks.Misspellings())
        out.append(m.word);
    return out;
}

// A check of the cells as they are, waited for.
void checkNow(WritingChecks& checks)
{
    checks.CheckNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !checks.Busy(); }, kWaitMs));
}

struct Checked {
    explicit Checked(int lines = 4) : grid(lines)
    {
        checks.UseDictionary(SpellChecker::defaultDictionary(), userWords.filePath(QStringLiteral("words.txt")));
        checks.Start();
    }
    QTemporaryDir userWords;
    ManuscriptGrid grid;
    WritingChecks checks{grid};
};

}

// Debian 12's hunspell-ko 0.7.92 with libhunspell 1.7.1; 1.7.2 loses the Korean suggestions.
TEST(SpellChecker, KnowsTheDictionarysWordsAndSuggestsCorrections)
{
    SpellChecker speller(SpellChecker::defaultDictionary(), QString());
    ASSERT_TRUE(speller.available()) << speller.problem().toStdString();
    const struct {
        const char* word;
        bool correct;
    } cases[] = {
        {"안녕하세요", true}, {"학교에서", true},    {"도서관", true},
        {"읽었다", true},     {"안녕하세여", false}, {"학꾜에서", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(speller.correct(QString::fromUtf8(c.word)), c.correct) << c.word;
    EXPECT_TRUE(speller.suggest(QStringLiteral("안녕하세여")).contains(QStringLiteral("안녕하세요")));
}

TEST(SpellChecker, AMissingDictionaryTurnsItOffWithOneLine)
{
    SpellChecker speller(QStringLiteral("/nonexistent/ko_KR"), QString());
    EXPECT_FALSE(speller.available());
    EXPECT_TRUE(speller.problem().contains(QStringLiteral("/nonexistent/ko_KR.dic")));
    EXPECT_FALSE(speller.problem().contains(u'\n'));
    EXPECT_TRUE(speller.correct(QStringLiteral("안녕하세여"))) << "nothing is flagged without a dictionary";

    ManuscriptGrid grid(2);
    WritingChecks checks(grid);
    QSignalSpy off(&checks, &WritingChecks::SpellingOff);
    checks.UseDictionary(QStringLiteral("/nonexistent/ko_KR"), QString());
    checks.Start();
    SheetText::setLine(grid, 0, QStringLiteral("_안녕하세여."));
    checkNow(checks);
    EXPECT_EQ(off.size(), 1);
    EXPECT_EQ(checks.SpellingProblem(), speller.problem());
    EXPECT_TRUE(checks.Misspellings().isEmpty());
    EXPECT_TRUE(checks.Findings().isEmpty()) << "the rules still run";
}

TEST(SheetWords, WordsGoOnAcrossTheEdgeAndStopAtBlanksAndMarks)
{
    ManuscriptGrid grid(3);
    SheetText::setLine(grid, 0, "_" + SheetText::syllables(0, 16) + "_안녕|.");
    SheetText::setLine(grid, 1, QStringLiteral("하세요,_[ab]학교_[12]번"));
    const QList<SheetWord> found = SheetWords(SheetSnapshot::of(grid));
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[1].text, QStringLiteral("안녕")) << "the margin's full stop ends the word";
    EXPECT_EQ(found[2].text, QStringLiteral("하세요"));
    EXPECT_EQ(found[0].text, SheetText::syllables(0, 16));

    grid.setCell(0, 21, QString());
    const QList<SheetWord> joined = SheetWords(SheetSnapshot::of(grid));
    ASSERT_EQ(joined.size(), 2) << "Latin and digits are skipped";
    EXPECT_EQ(joined[1].text, QStringLiteral("안녕하세요"));
    EXPECT_EQ(joined[1].lineBreakAt, 2);
    const QList<CellPos> cells = {{0, 19}, {0, 20}, {1, 1}, {1, 2}, {1, 3}};
    EXPECT_EQ(joined[1].cells, cells);
}

TEST(WritingChecks, FlagsMisspeltWordsWholeAcrossTheEdgeOfALine)
{
    Checked c;
    SheetText::setLine(c.grid, 0, "_" + SheetText::syllables(0, 16) + "_안녕");
    SheetText::setLine(c.grid, 1, QStringLiteral("하세여._도서관"));
    checkNow(c.checks);
    ASSERT_EQ(words(c.checks).count(QStringLiteral("안녕하세여")), 1);
    const WritingChecks::Misspelling* word = c.checks.MisspellingAt({1, 2});
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->cells.front(), (CellPos{0, 19}));
    EXPECT_EQ(c.grid.data(c.grid.index(0, 20), ManuscriptGrid::kMarksRole).toInt(), int(CellNotes::SpellingMark));
    EXPECT_TRUE(
        c.grid.data(c.grid.index(1, 1), Qt::AccessibleDescriptionRole).toString().contains(QStringLiteral("맞춤법")));
    EXPECT_EQ(c.checks.MisspellingAt({1, 6}), nullptr) << "도서관 is right";

    c.grid.setCell(1, 3, QStringLiteral("요"));
    checkNow(c.checks);
    EXPECT_FALSE(words(c.checks).contains(QStringLiteral("안녕하세여")));
    EXPECT_FALSE(words(c.checks).contains(QStringLiteral("안녕하세요")));
    EXPECT_EQ(c.grid.data(c.grid.index(0, 20), ManuscriptGrid::kMarksRole).toInt(), 0)
        << words(c.checks).join(u' ').toStdString();
}

// Findings of a check that the student typed past are never shown.
TEST(WritingChecks, ResultsForTextThatChangedAreDropped)
{
    Checked c;
    SheetText::setLine(c.grid, 0, QStringLiteral("_안녕하세요."));
    checkNow(c.checks);
    ASSERT_TRUE(c.checks.Misspellings().isEmpty());

    QList<QStringList> shown;
    QObject::connect(&c.checks, &WritingChecks::Checked, [&] { shown.append(words(c.checks)); });
    c.grid.setCell(0, 6, QStringLiteral("여"));
    c.checks.CheckNow();  // the check runs while the student goes on typing
    c.grid.setCell(0, 6, QStringLiteral("요"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.checks.Busy(); }, kWaitMs));
    ASSERT_FALSE(shown.isEmpty()) << "the text as it stands is checked after all";
    for (const QStringList& s : shown)
        EXPECT_TRUE(s.isEmpty()) << "a stale underline was shown: " << s.join(u' ').toStdString();
}

TEST(WritingChecks, AWordAddedToTheDictionaryStaysAddedInLaterRuns)
{
    QTemporaryDir data;
    const QString userWords = data.filePath(QStringLiteral("spelling/words.txt"));
    for (int run = 0; run < 2; ++run) {
        ManuscriptGrid grid(2);
        WritingChecks checks(grid);
        checks.UseDictionary(SpellChecker::defaultDictionary(), userWords);
        checks.Start();
        SheetText::setLine(grid, 0, QStringLiteral("_뭉게뭉게구름빵은_맛있다."));
        checkNow(checks);
        if (run == 0) {
            ASSERT_EQ(words(checks), QStringList{QStringLiteral("뭉게뭉게구름빵은")});
            checks.AddToDictionary(QStringLiteral("뭉게뭉게구름빵은"));
            EXPECT_TRUE(checks.Misspellings().isEmpty()) << "the underline goes at once";
            ASSERT_TRUE(QTest::qWaitFor([&] { return !checks.Busy(); }, kWaitMs));
        }
        EXPECT_TRUE(checks.Misspellings().isEmpty()) << "run " << run << words(checks).join(u' ').toStdString();
    }
    QFile file(userWords);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QStringLiteral("뭉게뭉게구름빵은\n").toUtf8());
}

TEST(WritingChecks, StoppedChecksShowNothing)
{
    Checked c;
    SheetText::setLine(c.grid, 0, QStringLiteral("가나."));
    checkNow(c.checks);
    ASSERT_EQ(c.checks.Findings().size(), 1);
    EXPECT_EQ(c.checks.NextFinding({5, 1}), (CellPos{0, 1})) << "past the last, from the start again";
    c.checks.Stop();
    EXPECT_TRUE(c.checks.Findings().isEmpty());
    EXPECT_EQ(c.grid.data(c.grid.index(0, 1), Qt::ToolTipRole).toString(), QString());
}
