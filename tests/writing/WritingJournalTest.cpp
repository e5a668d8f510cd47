#include "SheetText.h"
#include "core/AppError.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

// The student's journal without widgets: what it keeps, and that it gives it back exactly.

namespace {

QStringList cells(const ManuscriptGrid& grid)
{
    QStringList out;
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 1; column <= 21; ++column)
            out << grid.cell(line, column);
    return out;
}

// A run as the frame leaves it after its set-up: an empty manuscript shown.
void startRun(WritingSession& s, const QString& lectureKey = QStringLiteral("LK1"))
{
    s.ReadLaunchFields(LaunchFields({"S001", "S1001", "pw", "0", lectureKey, "", "1", "제목", "0", "0"}));
    s.setInx(EssayRecord::Manuscript);
    s.ShowEssay();
}

void clearJournals()
{
    const QDir folder(JournalFile::folder());
    for (const QString& name : folder.entryList(QDir::Files))
        QFile::remove(folder.filePath(name));
}

}

TEST(WritingJournal, RestoresBothPapersTitleAndPaperExactly)
{
    WritingSession before;
    startRun(before);
    SheetText::setLine(before.grid(), 0, QStringLiteral("  봄이 왔다"));
    before.grid().setCell(0, 20, QStringLiteral("다"));
    before.grid().setCell(0, 21, QStringLiteral("."));
    before.grid().setCell(2, 5, QStringLiteral(" "));
    before.grid().setCell(2, 6, QStringLiteral("\x1f\x1b"));  // only from an odd record, kept as it was
    before.grid().setLineCount(40);
    before.grid().setCell(39, 1, QStringLiteral("끝"));
    before.setMemo(QStringLiteral("백지의 글\n둘째 줄"));
    before.SetTitle(QStringLiteral("봄 \"감상\""));
    before.setInx(EssayRecord::BlankPaper);

    const WritingJournal::Work kept =
        WritingJournal::fromPacket(WritingJournal::toPacket(WritingJournal::capture(before)));

    WritingSession after;
    startRun(after);
    QSignalSpy titles(&after, &WritingSession::TitleRestored);
    after.RestoreWork(kept.title, kept.inx, kept.memo, kept.lines, kept.seconds);
    EXPECT_EQ(cells(after.grid()), cells(before.grid()));
    EXPECT_EQ(after.memo(), before.memo());
    EXPECT_EQ(after.Title(), before.Title());
    EXPECT_EQ(titles.size(), 1);
    EXPECT_EQ(after.Inx(), EssayRecord::BlankPaper);
    EXPECT_TRUE(after.Modified()) << "restored work is not on the server";
}

TEST(WritingJournal, RefusesWhatIsNotAJournal)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("<DATAPACKET"), QByteArray("\x00\x01garbage", 9)})
        EXPECT_THROW(WritingJournal::fromPacket(bytes), AppError);
}

// Every change the student makes marks the journal; what the server sent does not.
TEST(WritingJournal, ChangesReachTheDiskAndASaveRemovesThem)
{
    clearJournals();
    WritingSession s;
    startRun(s);
    WritingJournal journal(s);
    EXPECT_TRUE(journal.Offer([] { return true; }).isEmpty());
    EXPECT_FALSE(journal.keeper().dirty()) << "showing the essay is no change";

    const std::function<void()> changes[] = {
        [&] { s.grid().setCell(0, 1, QStringLiteral("가")); },
        [&] { s.setMemo(QStringLiteral("메모")); },
        [&] { s.SetTitle(QStringLiteral("새 제목")); },
        [&] { s.setInx(EssayRecord::BlankPaper); },
    };
    for (const auto& change : changes) {
        change();
        EXPECT_TRUE(journal.keeper().dirty());
        journal.keeper().flush();
    }
    const WritingJournal::Work kept = WritingJournal::fromPacket(*journal.keeper().file().read());
    EXPECT_EQ(kept.lines[0][0], QStringLiteral("가"));
    EXPECT_EQ(kept.memo, QStringLiteral("메모"));
    EXPECT_EQ(kept.title, QStringLiteral("새 제목"));

    s.Saved();
    journal.keeper().saved();
    EXPECT_FALSE(journal.keeper().file().exists());
    EXPECT_FALSE(s.Modified());
}

// A journal equal to what the server holds asks nothing: only trailing blank lines the
// caret added differ.
TEST(WritingJournal, OffersOnlyWorkThatDiffers)
{
    clearJournals();
    WritingSession earlier;
    startRun(earlier);
    earlier.grid().setCell(0, 1, QStringLiteral("가"));
    WritingJournal::Work same = WritingJournal::capture(earlier);
    same.lines.append(QStringList(21, QString()));
    WritingJournal::Work different = WritingJournal::capture(earlier);
    different.lines[0][2] = QStringLiteral("나");

    for (const auto& [work, asked] : {std::pair{same, false}, std::pair{different, true}}) {
        JournalFile(QStringLiteral("S001"), QStringLiteral("LK1"), QStringLiteral("S1001"))
            .write(WritingJournal::toPacket(work));
        WritingSession s;
        startRun(s);
        s.grid().setCell(0, 1, QStringLiteral("가"));  // as loaded from the server
        WritingJournal journal(s);
        int questions = 0;
        journal.Offer([&] {
            ++questions;
            return true;
        });
        EXPECT_EQ(questions, asked ? 1 : 0);
        EXPECT_EQ(s.grid().cell(0, 3), asked ? QStringLiteral("나") : QString());
    }
}
