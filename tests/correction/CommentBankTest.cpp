// The comment bank's model against the real course server, and against sites without it.
#include "BankServer.h"
#include "FakeHttpServer.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "correction/CommentBank.h"
#include "server/BankStore.h"
#include "text/Cp949.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CommentBankTest : public ::testing::Test {
protected:
    // A run of the teacher on a machine whose data folder keeps `copy`.
    std::unique_ptr<CommentBank> run(const QString& copy)
    {
        auto bank = std::make_unique<CommentBank>(CourseAdditions(CourseStore::kDemoLecture, server.token),
                                                  folder.filePath(copy));
        bank->load();
        return bank;
    }

    static QStringList texts(const QList<BankEntry>& entries)
    {
        QStringList out;
        for (const BankEntry& entry : entries)
            out << entry.text;
        return out;
    }

    QTemporaryDir folder;
    BankServer server;
};

TEST_F(CommentBankTest, OffersMatchesByPositionThenUses)
{
    BankEntry stock;
    stock.text = "Spacing: 띄어 쓰기 기본";
    BankStore(server.store.engine()).replaceStock({stock});
    const auto bank = run("a.json");
    ASSERT_TRUE(bank->offered());
    const QString first = bank->add("띄어 쓰세요", 13, "-1");
    bank->add("문단을 나누세요", 0, "");
    bank->add("띄어 쓰기를 다시 보세요", 2, "");
    bank->countUse(first);

    const struct {
        const char* typed;
        int mark;
        QStringList expected;
    } cases[] = {
        // The first own entry and the stock share position 1: the one used more goes first.
        {"띄어", 0, {"띄어 쓰세요", "Spacing: 띄어 쓰기 기본", "띄어 쓰기를 다시 보세요"}},
        {"  띄어 쓰", 13, {"띄어 쓰세요", "Spacing: 띄어 쓰기 기본"}},  // an entry for another mark stays out
        {"SPACING", 2, {"Spacing: 띄어 쓰기 기본"}},
        {"문단", 13, {"문단을 나누세요"}},
        {"", 0, {}},
        {"없는 말", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(texts(bank->matches(QString::fromUtf8(c.typed), c.mark)), c.expected);
    }

    // Moved to the end, the first entry follows the others.
    bank->moveTo(first, 5);
    EXPECT_EQ(texts(bank->ownEntries()), (QStringList{"문단을 나누세요", "띄어 쓰기를 다시 보세요", "띄어 쓰세요"}));
    EXPECT_EQ(texts(run("other.json")->ownEntries()), texts(bank->ownEntries())) << "the server keeps the order";
}

TEST_F(CommentBankTest, ChangesMadeOfflineAreKeptAndSentLater)
{
    {
        const auto bank = run("copy.json");
        const QString kept = bank->add("서버에 있는 문구", 0, "");
        server.stop();
        const QString added = bank->add("오프라인 문구", 0, "-2");
        bank->edit(added, "오프라인에서 고친 문구", 0, "-3");
        bank->remove(kept);
        EXPECT_EQ(bank->pendingCount(), 3);
        EXPECT_TRUE(bank->status().contains("서버에 닿지 않아")) << bank->status().toStdString();
        EXPECT_EQ(texts(bank->entries()), QStringList{"오프라인에서 고친 문구"});
    }
    // The next run, still without its server, shows the copy and keeps the changes.
    {
        const auto bank = run("copy.json");
        EXPECT_TRUE(bank->offered());
        EXPECT_EQ(bank->pendingCount(), 3);
        EXPECT_EQ(texts(bank->entries()), QStringList{"오프라인에서 고친 문구"});
    }
    EXPECT_EQ(BankStore(server.store.engine()).entriesOf("T1001").size(), 1) << "nothing sent yet";

    server.start();
    const auto bank = run("copy.json");
    EXPECT_EQ(bank->pendingCount(), 0);
    EXPECT_TRUE(bank->status().isEmpty()) << bank->status().toStdString();
    const QList<BankEntry> stored = BankStore(server.store.engine()).entriesOf("T1001");
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first().text, "오프라인에서 고친 문구");
    EXPECT_EQ(stored.first().points, "-3");
}

// Two machines of the teacher edit one entry; the later edit is kept beside the earlier.
TEST_F(CommentBankTest, AnEditOnAnOlderVersionIsKeptAndSaid)
{
    const auto home = run("home.json");
    const QString id = home->add("처음 문구", 0, "");
    const auto school = run("school.json");
    home->edit(id, "집에서 고친 문구", 0, "");
    school->edit(id, "학교에서 고친 문구", 0, "");
    EXPECT_TRUE(school->status().contains("새 문구로")) << school->status().toStdString();
    EXPECT_EQ(texts(school->entries()), (QStringList{"집에서 고친 문구", "학교에서 고친 문구"}));
}

TEST_F(CommentBankTest, FieldsThatCannotMakeAnEntryChangeNothing)
{
    const auto bank = run("a.json");
    EXPECT_THROW(bank->add("  ", 0, ""), AppError);
    EXPECT_THROW(bank->add("글", 29, ""), AppError);
    EXPECT_THROW(bank->addAll({BankEntry{{}, "좋은 글", 0, {}}, BankEntry{{}, "나쁜 점수", 0, "x"}}), AppError);
    EXPECT_TRUE(bank->entries().isEmpty());
    EXPECT_EQ(bank->pendingCount(), 0);
}

// A site that knows nothing of the bank: no bank, nothing raised, nothing kept.
TEST(CommentBankSite, ASiteWithoutTheBankOffersNone)
{
    QTemporaryDir folder;
    FakeHttpServer site;
    SetServerUrl(site.url({}));
    const struct {
        const char* what;
        QByteArray reply;
    } cases[] = {
        {"404 page", FakeHttpServer::response(404, "Not Found", "<h1>Not Found</h1>")},
        {"its own page", FakeHttpServer::response(200, "OK", "<html>강좌</html>")},
        {"redirect to sign-in", "HTTP/1.1 302 Found\r\nLocation: /login\r\nContent-Length: 0\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        site.respond = [&](const QByteArray&) { return c.reply; };
        CommentBank bank(CourseAdditions("K1", "token"), folder.filePath("copy.json"));
        EXPECT_NO_THROW(bank.load());
        EXPECT_FALSE(bank.offered());
        EXPECT_TRUE(bank.status().isEmpty());
        EXPECT_FALSE(QFile::exists(folder.filePath("copy.json")));
    }
    // A run without a token asks nothing at all.
    const int asked = site.requestCount;
    CommentBank none(CourseAdditions("K1", ""), folder.filePath("copy.json"));
    none.load();
    EXPECT_FALSE(none.offered());
    EXPECT_EQ(site.requestCount, asked);
}

TEST(BankCsv, ReadsWhatSpreadsheetsWrite)
{
    const QByteArray file = "\xEF\xBB\xBFtext,mark,points\r\n"
                            "\"띄어, 쓰세요\",13,-1\r\n"
                            "\r\n"
                            "\"두 줄\n\"\"인용\"\"\",,\r\n"
                            "좋아요,,+2\r\n";
    const QList<BankEntry> entries = BankCsv::Read(file);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].text, "띄어, 쓰세요");
    EXPECT_EQ(entries[0].mark, 13);
    EXPECT_EQ(entries[0].points, "-1");
    EXPECT_EQ(entries[1].text, "두 줄\n\"인용\"");
    EXPECT_EQ(entries[1].mark, 0);
    EXPECT_EQ(entries[2].points, "+2");
    // What it writes it reads back the same.
    const QList<BankEntry> again = BankCsv::Read(BankCsv::Write(entries));
    ASSERT_EQ(again.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(again[i].text, entries[i].text);
}

TEST(BankCsv, ABadFileIsRefusedWholeNamingItsLine)
{
    const QByteArray cp949 = Cp949::encode(QStringLiteral("띄어 쓰세요"));
    const struct {
        const char* what;
        QByteArray bytes;
        const char* names;
    } cases[] = {
        {"code page 949 text", "text,mark,points\r\n좋아요,,\r\n" + cp949 + ",,\r\n", "3번째 줄"},
        {"no header row", "띄어 쓰세요,13,-1\r\n", "머리줄"},
        {"a row of two fields", "text,mark,points\r\n좋아요,\r\n", "2번째 줄"},
        {"a quote left open", "text,mark,points\r\n좋아요,,\r\n\"열린 따옴표,,\r\n끝,,\r\n", "3번째 줄"},
        {"a mark that is none", "text,mark,points\r\n좋아요,99,\r\n", "2번째 줄"},
        {"a mark that is a word", "text,mark,points\r\n좋아요,밑줄,\r\n", "2번째 줄"},
        {"points that are a word", "text,mark,points\r\n좋아요,,많이\r\n", "2번째 줄"},
        {"an empty text", "text,mark,points\r\n좋아요,,\r\n,,\r\n", "3번째 줄"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            BankCsv::Read(c.bytes);
            ADD_FAILURE() << "read";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.names))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains("아무것도 가져오지 않았습니다")) << error.message().toStdString();
        }
    }
}

}
