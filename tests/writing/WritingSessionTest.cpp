#include "SheetText.h"
#include "core/AppError.h"
#include "core/LaunchFields.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "writing/EssayMeasures.h"
#include "writing/WritingSession.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray manuscriptPacket(const std::function<void(ManuscriptGrid&)>& fill, int lines = 21)
{
    ManuscriptGrid grid(lines);
    fill(grid);
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, "st01", grid);
    return EssayRecord::toPacket(record);
}

QByteArray rowPacket(int kind, const QByteArray& image = {})
{
    DataSet record(EssayRecord::fields());
    record.append();
    record.setInteger(u"NType", kind);
    if (!image.isEmpty())
        record.setBytes(u"LImage", image);
    record.post();
    return EssayRecord::toPacket(record);
}

// The caret each ShowEssay announces.
struct Shown {
    explicit Shown(WritingSession& session)
    {
        QObject::connect(&session, &WritingSession::EssayShown, &session, [this](CellPos c) { carets.append(c); });
    }
    QList<CellPos> carets;
};

}

TEST(WritingSession, ReadsTheRunFromTheLaunchFields)
{
    const struct {
        const char* paperFixed;
        const char* paper;
        int first;
        bool manuscriptOffered;
        bool blankOffered;
    } cases[] = {
        {"1", "1", 2, false, true}, {"1", "0", 1, true, false}, {"0", "1", 2, true, true},
        {"0", "0", 1, true, true},  {"0", "7", 2, true, true},
    };
    for (const auto& c : cases) {
        WritingSession s;
        s.ReadLaunchFields(LaunchFields({"S001", "st01", "pw", "0", "K-1", "", "1", "제목", c.paperFixed, c.paper}));
        const std::string name = std::string("fixed ") + c.paperFixed + ", paper " + c.paper;
        EXPECT_EQ(s.FirstPaper(), c.first) << name;
        EXPECT_EQ(s.OffersPaper(EssayRecord::Manuscript), c.manuscriptOffered) << name;
        EXPECT_EQ(s.OffersPaper(EssayRecord::BlankPaper), c.blankOffered) << name;
        EXPECT_EQ(s.Launch().studentNo, QStringLiteral("st01"));
        EXPECT_EQ(s.Launch().password, QStringLiteral("pw"));
        EXPECT_EQ(s.LectureKey(), QStringLiteral("K-1"));
        EXPECT_EQ(s.Title(), QStringLiteral("제목"));
        EXPECT_TRUE(s.Launch().editable);
        EXPECT_EQ(s.Inx(), 0) << "no paper before the frame chooses one";
    }

    const struct {
        QStringList fields;
        bool discussion;
        bool download;
    } runs[] = {
        {{"S001", "s", "p", "0", "", "", "1", "t", "0", "0"}, false, false},
        {{"S001", "s", "p", "0", "", "", "1", "t", "0", "0", "   "}, false, false},
        {{"S001", "s", "p", "0", "", "", "1", "t", "0", "0", "http://127.0.0.1/d"}, true, false},
        {{"S001", "s", "p", "1", "", "", "1", "t", "0", "0"}, false, false},
        {{"S001", "s", "p", "0", "", "http://127.0.0.1/e", "1", "t", "0", "0"}, false, false},
        {{"S001", "s", "p", "1", "", "http://127.0.0.1/e", "1", "t", "0", "0"}, false, true},
    };
    for (const auto& r : runs) {
        WritingSession s;
        s.ReadLaunchFields(LaunchFields(r.fields));
        EXPECT_EQ(s.HasDiscussion(), r.discussion) << r.fields.join(',').toStdString();
        EXPECT_EQ(s.Launch().discussionAddress, r.fields.value(10));
        EXPECT_EQ(s.WantsEarlierEssay(), r.download) << r.fields.join(',').toStdString();
    }

    WritingSession s;
    EXPECT_THROW(s.ReadLaunchFields(LaunchFields({"S001", "s", "p", "0", "", "", "1", "t", "0"})), AppError)
        << "a missing paper field stops the set-up";
}

// Typing goes on after the essay, never in front of its last line.
TEST(WritingSession, ShowEssayPutsTheCaretAfterTheLastWrittenCell)
{
    const struct {
        const char* name;
        std::function<void(ManuscriptGrid&)> fill;
        CellPos caret;
        int lines;
    } cases[] = {
        {"last cell in column 20 of line 7", [](ManuscriptGrid& g) { g.setCell(7, 20, "가"); }, {8, 1}, 21},
        {"a period in the margin of line 7",
         [](ManuscriptGrid& g) {
             g.setCell(7, 20, "가");
             g.setCell(7, 21, ".");
         },
         {8, 1},
         21},
        {"text in the middle of line 3", [](ManuscriptGrid& g) { SheetText::setLine(g, 3, "__나다"); }, {3, 5}, 21},
        {"nothing written", [](ManuscriptGrid&) {}, {0, 1}, 21},
        {"column 20 of the last line: the next line is made",
         [](ManuscriptGrid& g) { g.setCell(20, 20, "가"); },
         {21, 1},
         22},
    };
    for (const auto& c : cases) {
        WritingSession s;
        s.setInx(EssayRecord::BlankPaper);
        Shown shown(s);
        s.LoadEssay(manuscriptPacket(c.fill));
        s.ShowEssay();
        EXPECT_EQ(s.Inx(), EssayRecord::Manuscript) << c.name;
        EXPECT_EQ(shown.carets, QList<CellPos>{c.caret}) << c.name;
        EXPECT_EQ(s.grid().lineCount(), c.lines) << c.name;
        EXPECT_TRUE(s.cdEditor().isEmpty()) << c.name << ": between saves the paper alone holds the essay";
    }
}

TEST(WritingSession, ShowEssayPutsEachKindOnItsPaper)
{
    WritingSession s;
    s.setInx(EssayRecord::Manuscript);
    s.grid().setLineCount(40);
    s.grid().setCell(30, 1, "옛");
    QStringList memos;
    QObject::connect(&s, &WritingSession::MemoReplaced, &s, [&](const QString& text) { memos << text; });
    Shown shown(s);

    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "st01", QStringLiteral("가나\r\n다\r넷\n"));
    s.LoadEssay(EssayRecord::toPacket(record));
    s.ShowEssay();
    EXPECT_EQ(s.Inx(), EssayRecord::BlankPaper);
    EXPECT_EQ(s.memo(), QStringLiteral("가나\n다\n넷\n"));
    EXPECT_EQ(memos, QStringList{s.memo()});
    EXPECT_EQ(shown.carets, QList<CellPos>{CellPos{}}) << "off the manuscript the caret rests in column 0";
    EXPECT_EQ(s.grid().lineCount(), 21) << "the earlier sheet is emptied";
    EXPECT_TRUE(SheetText::dump(s.grid()).isEmpty());
    EXPECT_TRUE(s.cdEditor().isEmpty());

    s.LoadEssay(rowPacket(EssayRecord::ScannedPages, "\xFF\xD8 page"));
    s.ShowEssay();
    EXPECT_EQ(s.Inx(), EssayRecord::ScannedPages);
    EXPECT_TRUE(s.memo().isEmpty());
    EXPECT_EQ(s.cdEditor().recordCount(), 1) << "scanned pages stay in the record";
    EXPECT_EQ(s.CountCharacters(), 0);

    for (int kind : {0, 4, 5}) {
        EXPECT_THROW(s.LoadEssay(rowPacket(kind)), AppError) << kind;
        EXPECT_TRUE(s.cdEditor().isEmpty()) << kind;
    }
    DataSet stranger({FieldDef{QStringLiteral("NAME"), FieldType::String, 10}});
    stranger.append();
    stranger.setString(u"NAME", QStringLiteral("x"));
    stranger.post();
    try {
        s.LoadEssay(EssayRecord::toPacket(stranger));
        ADD_FAILURE() << "a record of another schema was read";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("USER_ID"))) << e.message().toStdString();
    }
    EXPECT_TRUE(s.cdEditor().isEmpty());
}

TEST(WritingSession, CountsCharactersAsTheCourseRuleDoes)
{
    WritingSession s;
    EXPECT_EQ(s.CountCharacters(), 0) << "no paper yet";
    s.setInx(EssayRecord::Manuscript);
    s.grid().setLineCount(21);
    s.grid().setCell(0, 1, "가");
    s.grid().setCell(0, 2, "나");
    s.grid().setCell(1, 1, "다");
    s.grid().setCell(3, 21, ".");
    EXPECT_EQ(s.CountCharacters(), 21) << "blank cells between written ones count, the margin does not";
    s.grid().setCell(0, 2, "ab");
    EXPECT_EQ(s.CountCharacters(), 22) << "every half-width character counts";
    s.grid().setCell(0, 1, " ");
    EXPECT_EQ(s.CountCharacters(), 21) << "blanks before the first written cell do not count";
    EXPECT_EQ(s.CollectGridText().left(3), QStringLiteral("ab "));

    s.setInx(EssayRecord::BlankPaper);
    s.setMemo(QStringLiteral("가나\n다"));
    EXPECT_EQ(s.CountCharacters(), 5) << "a line break counts as CR LF";
    QList<int> counted;
    QObject::connect(&s, &WritingSession::Counted, &s, [&](int n) { counted << n; });
    s.KeyReleased();
    EXPECT_EQ(counted, QList<int>{5});

    const struct {
        int count;
        const char* text;
    } texts[] = {{0, "0 자"}, {999, "999 자"}, {1234, "1,234 자"}, {1523, "1,523 자"}, {1234567, "1,234,567 자"}};
    for (const auto& t : texts)
        EXPECT_EQ(EssayMeasures::CountText(t.count), QString::fromUtf8(t.text));
}

TEST(WritingSession, TheCountFollowsChangesThatCameWithoutAKey)
{
    // A syllable an input method commits on a click changes the cells with no key released.
    WritingSession s;
    s.setInx(EssayRecord::Manuscript);
    QList<int> counted;
    QObject::connect(&s, &WritingSession::Counted, &s, [&](int n) { counted << n; });
    s.grid().setCell(0, 1, "가");
    s.grid().setCell(0, 2, "나");
    QCoreApplication::processEvents();
    EXPECT_EQ(counted, QList<int>{2}) << "one count for the changes made together";

    // A keystroke is counted once, whether its release comes after the count or before it.
    s.KeyReleased();
    s.grid().setCell(0, 3, "다");
    s.KeyReleased();
    QCoreApplication::processEvents();
    EXPECT_EQ(counted, (QList<int>{2, 3}));

    s.setInx(EssayRecord::BlankPaper);
    s.setMemo(QStringLiteral("가나다"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counted.last(), 3);
}

// The count is kept as cells change instead of read from the whole sheet: on random sheets
// changed at random, in every way the sheet can change, it stays the length of the text the
// rule collects.
TEST(WritingSession, TheCountKeptAsCellsChangeIsTheCollectedTextsLength)
{
    const QString texts[] = {"", " ", "  ", "가", "ab", "a ", " b", "\t", ".", "?", "long text"};
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return int(random() % unsigned(n)); };
        WritingSession s;
        s.setInx(EssayRecord::Manuscript);
        ManuscriptGrid& grid = s.grid();
        grid.reset(1 + pick(25));
        const auto rule = [](const QString& item) { return item == u"." || item == u"?"; };
        for (int change = 0; change < 40; ++change) {
            const int line = pick(grid.lineCount());
            const int column = 1 + pick(21);
            switch (pick(7)) {
            case 0:
            case 1:
                grid.setCell(line, column, texts[pick(std::size(texts))]);
                break;
            case 2:
                grid.openStreamCell(line, column, rule);
                break;
            case 3:
                grid.removeStreamCells(line, column, 1 + pick(30), rule);
                break;
            case 4:
                grid.insertLines(line, 1 + pick(2));
                break;
            case 5:
                grid.removeLines(line, 1);
                if (grid.lineCount() == 0)
                    grid.setLineCount(1);
                break;
            case 6:
                grid.setColumn(column, {texts[pick(std::size(texts))], texts[pick(std::size(texts))]});
                break;
            }
            ASSERT_EQ(s.CountCharacters(), s.CollectGridText().size()) << "seed " << seed << ", change " << change;
        }
    }
}

TEST(WritingSession, WritingTimeStartsWithTheFirstKeyRelease)
{
    WritingSession s;
    s.setInx(EssayRecord::Manuscript);
    QList<qint64> ticks;
    QObject::connect(&s, &WritingSession::TimeTicked, &s, [&](qint64 seconds) { ticks << seconds; });
    EXPECT_FALSE(s.timer().isActive());
    s.KeyReleased();
    ASSERT_TRUE(s.timer().isActive());
    EXPECT_EQ(s.timer().interval(), 1000);
    const QDateTime started = s.StartTime();
    const int timerId = s.timer().timerId();
    s.KeyReleased();
    EXPECT_EQ(s.StartTime(), started) << "later key releases neither restart the time";
    EXPECT_EQ(s.timer().timerId(), timerId) << "nor hold back the next tick";

    EXPECT_FALSE(s.TimerTicked());
    s.TimerTimer(started.addSecs(65));
    EXPECT_EQ(ticks, QList<qint64>{65});
    EXPECT_TRUE(s.TimerTicked());
    s.ShowEssay();
    EXPECT_FALSE(s.TimerTicked()) << "a shown essay has no unsaved time";
    EXPECT_TRUE(s.timer().isActive()) << "the time runs on";

    WritingSession readOnly;
    readOnly.MakeReadOnly();
    readOnly.KeyReleased();
    EXPECT_FALSE(readOnly.timer().isActive()) << "no writing time in a read-only run";

    const struct {
        qint64 seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00"}, {3599, "00:59:59"}, {3600 * 23 + 61, "23:01:01"}, {86400 + 5, "00:00:05"}, {-30, "00:00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(EssayMeasures::ElapsedText(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(WritingSession, PaperSwitchKeepsTheHiddenPapersText)
{
    WritingSession s;
    QList<int> kinds;
    QObject::connect(&s, &WritingSession::InxChanged, &s, [&](int kind) { kinds << kind; });
    s.setInx(EssayRecord::Manuscript);
    s.grid().setCell(2, 3, "가");
    s.setInx(EssayRecord::BlankPaper);
    s.setMemo("memo");
    s.setInx(EssayRecord::BlankPaper);
    s.setInx(EssayRecord::Manuscript);
    EXPECT_EQ(kinds, (QList<int>{1, 2, 1})) << "choosing the paper shown changes nothing";
    EXPECT_EQ(s.grid().cell(2, 3), QStringLiteral("가"));
    EXPECT_EQ(s.memo(), QStringLiteral("memo"));
}
