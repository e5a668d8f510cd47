#include "TestStore.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "server/Accounts.h"
#include "server/ClientIf.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "server/ScannedEssay.h"
#include "support/HttpClient.h"
#include "support/ServingThread.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::string jpeg(QColor colour, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return Jpeg::encode(image).toStdString();
}

std::string png()
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

ScannedPage page(const std::string& name, const std::string& bytes)
{
    return {bytes, name, "image/jpeg"};
}

// The record as the client reads it.
DataSet load(const std::string& packet)
{
    DataSet record;
    EssayRecord::load(record, QByteArrayView(packet.data(), qsizetype(packet.size())));
    return record;
}

class ScannedEssayTest : public ::testing::Test {
protected:
    ScannedEssayTest() : store(TestStoreLocation(dir.path())), accounts(store) { store.seedDemo(); }

    const std::vector<ScannedPage> twoPages{page("1쪽.jpg", jpeg(Qt::white, 120, 160)),
                                            page("2쪽.jpg", jpeg(Qt::darkBlue, 90, 60))};
    QTemporaryDir dir;
    CourseStore store;
    Accounts accounts;
};

TEST_F(ScannedEssayTest, PagesBecomeAKind3RecordTheClientReads)
{
    DataSet record = load(ScannedEssayRecord("S1001", twoPages));
    EXPECT_EQ(EssayRecord::paperKind(record), EssayRecord::ScannedPages);
    ASSERT_EQ(record.recordCount(), 2);
    for (const ScannedPage& page : twoPages) {
        EXPECT_EQ(record.asInteger(u"NType"), EssayRecord::ScannedPages);
        EXPECT_EQ(record.asString(u"USER_ID"), "S1001");
        EXPECT_EQ(record.asBytes(u"LImage").toStdString(), page.bytes());
        EXPECT_EQ(record.asString(u"LImageType"), "JPEG");
        EXPECT_TRUE(record.isNull(u"LText"));
        EXPECT_TRUE(record.isNull(u"L1"));
        record.next();
    }
    EXPECT_EQ(record.fields(), EssayRecord::fields());
}

TEST_F(ScannedEssayTest, PagesTheClientCouldNotPrintAreRefused)
{
    const std::string good = jpeg(Qt::white, 64, 64);
    const struct {
        const char* what;
        std::vector<ScannedPage> pages;
        std::string expected;
    } cases[] = {
        {"no page", {}, "하나 이상"},
        {"a PNG", {page("scan.png", png())}, "\"scan.png\"은(는) JPEG 그림이 아닙니다"},
        {"an empty file", {page("empty.jpg", "")}, "\"empty.jpg\"은(는) JPEG 그림이 아닙니다"},
        {"a cut JPEG after a good one",
         {page("a.jpg", good), page("b.jpg", good.substr(0, good.size() / 2))},
         "\"b.jpg\"을(를) 읽을 수 없습니다"},
        {"a nameless text file", {page("", "hello")}, "1번째 쪽은(는) JPEG 그림이 아닙니다"},
        {"a page larger than A4 at 600 dpi", {page("big.jpg", jpeg(Qt::white, 7101, 8))}, "7101×8 화소로 너무 큽니다"},
        {"more pages than an upload takes", std::vector<ScannedPage>(kMaxScanPages + 1, page("a.jpg", good)),
         "한 번에 50쪽까지"},
    };
    for (const auto& c : cases) {
        try {
            SaveScannedEssay(store, "DEMO0001", c.pages);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const Refusal& refusal) {
            EXPECT_EQ(refusal.status(), 400) << c.what;
            EXPECT_NE(std::string(refusal.what()).find(c.expected), std::string::npos)
                << c.what << ": " << refusal.what();
        }
        EXPECT_FALSE(store.essay("DEMO0001")) << c.what;
    }
}

TEST_F(ScannedEssayTest, StoredLikeTheStudentsSave)
{
    const std::string before = store.lecture("DEMO0001")->title;
    SaveScannedEssay(store, "DEMO0001", twoPages);
    const std::optional<std::string> stored = store.essay("DEMO0001");
    ASSERT_TRUE(stored);
    EXPECT_EQ(load(*stored).recordCount(), 2);
    EXPECT_EQ(store.lecture("DEMO0001")->title, before);
    EXPECT_EQ(store.lecture("DEMO0001")->essayRevision, 1);

    // The student's own save replaces it, and the other way round.
    const FormParts essay{{"flag", {"S002", "", ""}},
                          {"student_no", {"S1001", "", ""}},
                          {"password", {"student1", "", ""}},
                          {"lecturekey", {"DEMO0001", "", ""}},
                          {"submit", {"N", "", ""}},
                          {"title", {"t", "", ""}},
                          {"file", {*stored, "Editor", "multipart/form-data"}}};
    EXPECT_EQ(HandleClientIf(store, accounts, essay, "127.0.0.1").status, 200);
    SaveScannedEssay(store, "DEMO0001", {twoPages[1]});
    EXPECT_EQ(load(*store.essay("DEMO0001")).recordCount(), 1);
    EXPECT_EQ(store.lecture("DEMO0001")->essayRevision, 3);
}

TEST_F(ScannedEssayTest, UnknownOrCorrectedLecturesAreRefused)
{
    try {
        SaveScannedEssay(store, "NOSUCHKEY", twoPages);
        ADD_FAILURE() << "accepted";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.status(), 404);
    }

    SaveScannedEssay(store, "DEMO0001", twoPages);
    const std::string first = *store.essay("DEMO0001");
    store.saveCorrection({"T1001", "DEMO0001", "S1001", "record", jpeg(Qt::white, 8, 8), "80", "N"});
    try {
        SaveScannedEssay(store, "DEMO0001", {twoPages[0]});
        ADD_FAILURE() << "accepted";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.status(), 409);
    }
    EXPECT_EQ(store.essay("DEMO0001"), first);
}

// The form on the course page, posted as a browser posts it.
TEST_F(ScannedEssayTest, CoursePageFormUploadsPages)
{
    CourseServer server(store, accounts);
    std::optional<ServingThread> serving(std::in_place, server);
    const int port = serving->port();
    ASSERT_GT(port, 0);
    HttpClient client(port);
    const HttpClient::Headers student{{"Authorization", HttpClient::basic("S1001", "student1")}};

    const HttpClient::Answer page = client.get("/", student);
    EXPECT_NE(page.body.find("action=\"/scan/DEMO0001\""), std::string::npos);
    EXPECT_NE(page.body.find("name=\"page\""), std::string::npos);

    const HttpClient::Answer refused =
        client.postForm("/scan/DEMO0001", {{"page", png(), "scan.png", "image/png"}}, student);
    const HttpClient::Answer accepted = client.postForm(
        "/scan/DEMO0001",
        {{"page", twoPages[0].bytes(), "a.jpg", "image/jpeg"}, {"page", twoPages[1].bytes(), "b.jpg", "image/jpeg"}},
        student);
    const HttpClient::Answer essay = client.get("/essay/DEMO0001", student);
    const HttpClient::Answer listing = client.get("/", student);
    serving.reset();

    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("JPEG 그림이 아닙니다"), std::string::npos) << refused.body;
    EXPECT_EQ(accepted.status, 200);
    EXPECT_NE(accepted.body.find("2쪽"), std::string::npos) << accepted.body;
    ASSERT_EQ(essay.status, 200);
    DataSet record = load(essay.body);
    ASSERT_EQ(record.recordCount(), 2);
    EXPECT_EQ(record.asBytes(u"LImage").toStdString(), twoPages[0].bytes());
    record.next();
    EXPECT_EQ(record.asBytes(u"LImage").toStdString(), twoPages[1].bytes());
    EXPECT_NE(listing.body.find("저장됨"), std::string::npos);
}

}
