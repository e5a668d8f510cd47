#include "core/AppError.h"
#include "document/JournalKeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList journalsIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class JournalKeeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& name : journalsIn(JournalFile::folder()))
            QFile::remove(QDir(JournalFile::folder()).filePath(name));
    }

    QString key = QStringLiteral("LK1");
    QByteArray work = "work 1";
    JournalKeeper keeper{[this] { return JournalFile(QStringLiteral("S001"), key, QStringLiteral("S1001")); },
                         [this] { return work; }};
};

TEST_F(JournalKeeperTest, FolderIsPrivateAndNamesAreSafe)
{
    const QFile::Permissions permissions = QFile::permissions(JournalFile::folder());
    EXPECT_TRUE(permissions & QFile::ExeOwner);
    EXPECT_FALSE(permissions & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther));
    EXPECT_EQ(QFileInfo(JournalFile("S001", "", "S1001").path()).fileName(), "S001-new-S1001.journal");
    // Launch fields are outside input: no path separators reach the name.
    EXPECT_EQ(QFileInfo(JournalFile("T001", "../x", "T1/S1").path()).fileName(), "T001-___x-T1_S1.journal");
}

TEST_F(JournalKeeperTest, ChangesAreWrittenLaterNeverBeforeStart)
{
    keeper.markDirty();
    keeper.flush();
    EXPECT_FALSE(keeper.file().exists()) << "nothing is written before the earlier journal is answered for";

    keeper.start();
    keeper.markDirty();
    EXPECT_FALSE(keeper.file().exists()) << "a change only marks the journal dirty";
    EXPECT_TRUE(QTest::qWaitFor([&] { return keeper.file().exists(); }, 5000));
    EXPECT_EQ(keeper.file().read(), work);
    EXPECT_FALSE(keeper.dirty());
    const QFile::Permissions permissions = QFile::permissions(keeper.file().path());
    EXPECT_TRUE(permissions & QFile::ReadOwner);
    EXPECT_FALSE(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));

    work = "work 2";
    keeper.markDirty();
    keeper.flush();  // the window lost focus
    EXPECT_EQ(keeper.file().read(), work);
}

TEST_F(JournalKeeperTest, SaveRemovesTheJournalUnderTheOldKeyToo)
{
    key.clear();
    keeper.start();
    keeper.markDirty();
    keeper.flush();
    const QString before = keeper.file().path();
    key = QStringLiteral("LK9");  // the save's reply gave the run its key
    keeper.saved();
    EXPECT_FALSE(QFile::exists(before));
    EXPECT_TRUE(journalsIn(JournalFile::folder()).isEmpty());
}

TEST_F(JournalKeeperTest, OfferAsksOnlyForDifferentWork)
{
    enum Found { None, Same, Different, Unreadable, Oversized };
    const struct {
        const char* name;
        Found found;
        bool answer;
        int questions;
        bool restored;
        bool setAside;
        bool message;
    } cases[] = {
        {"no journal", None, true, 0, false, false, false},
        {"same as the server", Same, true, 0, false, false, false},
        {"different, 예", Different, true, 1, true, false, false},
        {"different, 아니요", Different, false, 1, false, true, false},
        {"unreadable", Unreadable, true, 0, false, true, true},
        {"larger than any run writes", Oversized, true, 0, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        JournalKeeper run{[this] { return JournalFile(QStringLiteral("S001"), key, QStringLiteral("S1001")); },
                          [] { return QByteArray("this run"); }};
        if (c.found == Oversized) {
            QFile huge(run.file().path());
            ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(JournalFile::kMaxBytes + 1));
        } else if (c.found != None) {
            run.file().write(c.found == Same ? "loaded" : c.found == Different ? "kept" : "garbage");
        }
        int questions = 0;
        QByteArray restored;
        const QString message = run.offer({[](const QByteArray& bytes) {
                                               if (bytes == "garbage")
                                                   throw AppError(QStringLiteral("복구 파일이 아닙니다."));
                                               return bytes != "loaded";
                                           },
                                           [&] {
                                               ++questions;
                                               return c.answer;
                                           },
                                           [&](const QByteArray& bytes) { restored = bytes; }});
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(restored == "kept", c.restored);
        EXPECT_EQ(!message.isEmpty(), c.message) << message.toStdString();
        EXPECT_TRUE(run.started());
        const QStringList files = journalsIn(JournalFile::folder());
        const bool aside = files.size() == 1 && files[0].startsWith("S001-LK1-S1001.journal.");
        EXPECT_EQ(aside, c.setAside) << files.join(' ').toStdString();
        // 예 keeps the journal as the run's own, dirty, so it is written again soon.
        EXPECT_EQ(run.dirty(), c.restored);
    }
}

}
