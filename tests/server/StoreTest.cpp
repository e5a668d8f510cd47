// The store itself on both engines: its schema versions and moving a course between stores.
#include "TestStore.h"

#include "server/Accounts.h"
#include "server/BankStore.h"
#include "server/CourseStore.h"
#include "server/Sqlite.h"
#include "server/StoreTransfer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {

std::string dumpOf(CourseStore& store)
{
    std::ostringstream out;
    StoreTransfer::Export(store.engine(), out, [](const std::string&, long long) {});
    return out.str();
}

// Every table holds rows, the records every byte value.
void fill(CourseStore& store)
{
    store.seedDemo();
    Accounts accounts(store);
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    store.addStudent({"S1002", "이학생"}, "student2", "T1001");
    store.addStudent({"S1003", "최학생"}, "student3", "T1001");
    store.saveEssay({"S1001", "DEMO0001", "제목", "N", bytes + std::string(300000, '\0') + bytes, {}});
    store.saveCorrection({"T1001", "DEMO0001", "S1001", bytes, "\xff\xd8\xff" + bytes, "87", "Y"});
    for (int i = 0; i < 300; ++i)  // more than one batch of the export
        store.saveEssay(
            {i % 2 ? "S1002" : "S1003", "", "글 " + std::to_string(i), "N", bytes.substr(std::size_t(i % 256)), {}});
    accounts.issueToken({Role::Student, "S1001"}, Grant::Write, "DEMO0001", "");
    accounts.issueToken({Role::Student, "S1002"}, Grant::Write, "", "");
    accounts.openSession({Role::Teacher, "T1001"});
    accounts.signIn("S1001", "wrong", "192.0.2.1");
    // A teacher's bank entries and the stock, whose rows name no teacher.
    BankStore bank(store.engine());
    BankEntry stock;
    stock.text = "기본, \"문구\"\n둘째 줄";
    bank.replaceStock({stock});
    bank.apply("T1001",
               {QJsonObject{{"op", "add"}, {"id", "e1"}, {"text", "띄어 쓰세요"}, {"mark", 13}, {"points", "-2"}},
                QJsonObject{{"op", "use"}, {"id", "e1"}}});
}

TEST(StoreTransfer, ACourseMovesBetweenStoresWithoutLoss)
{
    QTemporaryDir dir;
    CourseStore from("sqlite:" + (dir.path() + "/from.sqlite").toStdString());
    fill(from);
    const std::string dump = dumpOf(from);

    // Into the other engine when the tests have one, and back again.
    CourseStore middle(TestStoreLocation(dir.path() + "/middle"));
    std::istringstream in(dump);
    StoreTransfer::Import(middle.engine(), in, [](const std::string&, long long) {});
    EXPECT_TRUE(dumpOf(middle) == dump) << "every row and byte, exported again";
    EXPECT_EQ(middle.lectures().size(), from.lectures().size());
    EXPECT_EQ(middle.essay("DEMO0001"), from.essay("DEMO0001"));

    CourseStore back("sqlite:" + (dir.path() + "/back.sqlite").toStdString());
    std::istringstream again(dumpOf(middle));
    StoreTransfer::Import(back.engine(), again, [](const std::string&, long long) {});
    EXPECT_TRUE(dumpOf(back) == dump);
    // The moved course works: its people sign in, its tokens save.
    Accounts accounts(back);
    EXPECT_TRUE(accounts.signIn("S1002", "student2", "127.0.0.1"));
}

// A dump written before the comment banks ends after the sign-in table.
TEST(StoreTransfer, ADumpFromBeforeTheBanksImports)
{
    QTemporaryDir dir;
    CourseStore from("sqlite:" + (dir.path() + "/from.sqlite").toStdString());
    from.seedDemo();
    std::string dump = dumpOf(from);
    const std::size_t bankTable = dump.find("Tbank_entries\n");
    ASSERT_NE(bankTable, std::string::npos);
    dump = dump.substr(0, bankTable) + "END\n";

    CourseStore to(TestStoreLocation(dir.path() + "/to"));
    std::istringstream in(dump);
    StoreTransfer::Import(to.engine(), in, [](const std::string&, long long) {});
    EXPECT_TRUE(to.lecture(CourseStore::kDemoLecture));
    EXPECT_TRUE(BankStore(to.engine()).entriesOf("T1001").isEmpty());
}

TEST(StoreTransfer, ImportRefusesAStoreInUseAndADumpCutShort)
{
    QTemporaryDir dir;
    CourseStore from("sqlite:" + (dir.path() + "/from.sqlite").toStdString());
    fill(from);
    const std::string dump = dumpOf(from);

    CourseStore used(TestStoreLocation(dir.path() + "/used"));
    used.seedDemo();
    std::istringstream whole(dump);
    try {
        StoreTransfer::Import(used.engine(), whole, [](const std::string&, long long) {});
        ADD_FAILURE() << "imported into a store in use";
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("not empty"), std::string::npos) << error.what();
    }

    CourseStore empty("sqlite:" + (dir.path() + "/empty.sqlite").toStdString());
    for (const std::size_t cut : {dump.size() / 3, dump.size() - 5}) {
        std::istringstream part(dump.substr(0, cut));
        EXPECT_THROW(StoreTransfer::Import(empty.engine(), part, [](const std::string&, long long) {}), StoreError);
        EXPECT_TRUE(empty.lectures().empty()) << "nothing of a dump cut at " << cut;
    }
}

// Bytes that differ at every offset of a chunk, so a chunk out of place shows.
std::string patterned(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 2654435761u + seed) >> 13);
    return bytes;
}

// Serves `bytes` a chunk at a time, the way a spooled body does, and counts what it served.
ByteSource served(const std::string& bytes, std::size_t& largestRead)
{
    return ByteSource(bytes.size(), [&bytes, &largestRead](std::uint64_t offset, std::size_t size) {
        largestRead = std::max(largestRead, size);
        return bytes.substr(std::size_t(offset), size);
    });
}

TEST(StoreLargeBytes, SavesOfSeveralChunksRoundTripByteForByte)
{
    QTemporaryDir dir;
    CourseStore store(TestStoreLocation(dir.path()));
    store.seedDemo();
    const std::size_t chunk = SqlConnection::kChunk;
    const std::string essay = patterned(3 * chunk + 12345, 1);
    store.saveEssay({"S1001", "DEMO0001", "제목", "N", essay, {}});
    EXPECT_TRUE(store.essay("DEMO0001") == essay);

    const std::string record = patterned(2 * chunk + 1, 2);
    const std::string thumbnail = "\xff\xd8\xff" + patterned(4 * chunk - 3, 3);
    std::size_t largestRead = 0;
    for (int save = 1; save <= 2; ++save) {  // stored, then replaced by the same bytes
        const SavedRevision saved =
            store.saveCorrection({"T1001", "DEMO0001", "S1001", record, served(thumbnail, largestRead), "90", "Y"});
        EXPECT_EQ(saved.revision, save);
    }
    EXPECT_TRUE(store.correction("DEMO0001") == record);
    EXPECT_TRUE(store.thumbnail("DEMO0001") == thumbnail);
    EXPECT_EQ(largestRead, chunk);
    EXPECT_TRUE(store.essay("DEMO0001") == essay) << "the correction left the essay as it was";
}

TEST(StoreLargeBytes, ASaveFailingMidWayKeepsNothingOfIt)
{
    const std::size_t chunk = SqlConnection::kChunk;
    const std::string thumbnail = "\xff\xd8\xff" + patterned(3 * chunk, 4);
    const struct {
        const char* name;
        ByteSource::Reader read;
    } faults[] = {
        {"the spooled body cannot be read",
         [&](std::uint64_t offset, std::size_t size) -> std::string {
             if (offset >= 2 * chunk)
                 throw std::runtime_error("the disk refused to read");
             return thumbnail.substr(std::size_t(offset), size);
         }},
        {"the spooled body ends early",
         [&](std::uint64_t offset, std::size_t size) {
             return offset >= 2 * chunk ? std::string("short") : thumbnail.substr(std::size_t(offset), size);
         }},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.name);
        QTemporaryDir dir;
        CourseStore store(TestStoreLocation(dir.path()));
        store.seedDemo();
        store.saveEssay({"S1001", "DEMO0001", "제목", "N", "essay", {}});
        const CorrectionSave failing{
            "T1001", "DEMO0001", "S1001", patterned(2 * chunk, 5), ByteSource(thumbnail.size(), fault.read), "70", "N"};

        // The first correction: nothing of it, not even its row.
        EXPECT_THROW(store.saveCorrection(failing), std::exception);
        EXPECT_FALSE(store.lecture("DEMO0001")->hasCorrection);
        EXPECT_FALSE(store.correction("DEMO0001"));

        // A later one: the stored correction stays whole at its revision.
        store.saveCorrection({"T1001", "DEMO0001", "S1001", "kept", std::string("\xff\xd8\xffkept"), "80", "N"});
        EXPECT_THROW(store.saveCorrection(failing), std::exception);
        EXPECT_EQ(store.correctionWithRevision("DEMO0001")->revision, 1);
        EXPECT_EQ(store.correction("DEMO0001"), "kept");
        EXPECT_EQ(store.thumbnail("DEMO0001"), "\xff\xd8\xffkept");
        EXPECT_EQ(store.lecture("DEMO0001")->reportPoint, "80");

        // The store goes on saving.
        std::size_t largestRead = 0;
        store.saveCorrection({"T1001", "DEMO0001", "S1001", "next", served(thumbnail, largestRead), "85", "N"});
        EXPECT_TRUE(store.thumbnail("DEMO0001") == thumbnail);
    }
}

// A store of version 2 gets the banks' table; what it held stays.
TEST(StoreSchema, VersionTwoGainsTheBanks)
{
    QTemporaryDir dir;
    const std::string location = TestStoreLocation(dir.path());
    {
        CourseStore store(location);
        store.seedDemo();
        store.engine().write([](SqlConnection& db) {
            db.run("DROP TABLE bank_entries");
            db.run("UPDATE schema_version SET version = 2");
        });
    }
    CourseStore store(location);
    EXPECT_EQ(store.engine().schemaVersion(), 3);
    EXPECT_TRUE(store.lecture(CourseStore::kDemoLecture));
    BankStore bank(store.engine());
    bank.apply("T1001", {QJsonObject{{"op", "add"}, {"id", "n1"}, {"text", "새 문구"}, {"mark", 0}, {"points", ""}}});
    ASSERT_EQ(bank.entriesOf("T1001").size(), 1);
    EXPECT_EQ(bank.entriesOf("T1001").first().text, "새 문구");
}

TEST(StoreSchema, ANewerSchemaIsRefusedAndLeftAlone)
{
    QTemporaryDir dir;
    const std::string location = TestStoreLocation(dir.path());
    {
        CourseStore store(location);
        store.seedDemo();
        store.engine().write([](SqlConnection& db) { db.run("UPDATE schema_version SET version = 99"); });
    }
    try {
        CourseStore store(location);
        ADD_FAILURE() << "opened a store of a newer schema";
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("schema version 99, newer than"), std::string::npos) << error.what();
    }
}

TEST(StoreSchema, AFileFromBeforeTheVersionTableIsBroughtUpToDate)
{
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/course.sqlite").toStdString();
    {
        // The tables as the server kept them before schema versions.
        Database old(path);
        old.exec("CREATE TABLE teachers (teacher_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL);"
                 "CREATE TABLE students (student_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL,"
                 " teacher_no TEXT NOT NULL REFERENCES teachers);"
                 "CREATE TABLE launch_tokens (digest TEXT PRIMARY KEY, grant_kind TEXT NOT NULL, role TEXT NOT NULL,"
                 " person_no TEXT NOT NULL, lecture_key TEXT NOT NULL, session TEXT NOT NULL,"
                 " issued_at INTEGER NOT NULL, expires_at INTEGER NOT NULL);"
                 "CREATE TABLE lectures (lecture_key TEXT PRIMARY KEY, student_no TEXT NOT NULL REFERENCES students,"
                 " teacher_no TEXT NOT NULL REFERENCES teachers, title TEXT NOT NULL DEFAULT '',"
                 " discussion TEXT NOT NULL DEFAULT '', created_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);"
                 "CREATE TABLE essays (lecture_key TEXT PRIMARY KEY REFERENCES lectures, record BLOB NOT NULL,"
                 " submit TEXT NOT NULL, revision INTEGER NOT NULL,"
                 " saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);"
                 "CREATE TABLE corrections (lecture_key TEXT PRIMARY KEY REFERENCES lectures, record BLOB NOT NULL,"
                 " thumbnail BLOB NOT NULL, report_point TEXT NOT NULL, submit TEXT NOT NULL,"
                 " revision INTEGER NOT NULL, saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);"
                 "INSERT INTO teachers VALUES ('T7', '선생', 'hash');"
                 "INSERT INTO students VALUES ('S7', '학생', 'hash', 'T7');"
                 "INSERT INTO lectures (lecture_key, student_no, teacher_no) VALUES ('K7', 'S7', 'T7');"
                 "INSERT INTO essays VALUES ('K7', X'00FF01', 'Y', 3, '2024-01-02 03:04:05');"
                 "INSERT INTO corrections VALUES ('K7', X'FF00', X'FFD8FF00', '90', 'N', 2, '2024-01-02 03:04:06');"
                 "INSERT INTO launch_tokens VALUES ('d', 'write', 'student', 'S1', 'K', '', 1, 2);");
    }
    CourseStore store("sqlite:" + path);
    EXPECT_EQ(store.engine().schemaVersion(), StoreEngine::kSchemaVersion);
    EXPECT_TRUE(store.personExists("T7"));
    std::int64_t used = -1;
    store.engine().read([&](SqlConnection& db) { used = db.query("SELECT used FROM launch_tokens").at(0).number(0); });
    EXPECT_EQ(used, 0);
    // The stored records keep every byte, their revisions and times.
    EXPECT_EQ(store.essayWithRevision("K7")->bytes, std::string("\0\xff\x01", 3));
    EXPECT_EQ(store.essayWithRevision("K7")->revision, 3);
    EXPECT_EQ(store.correction("K7"), std::string("\xff\0", 2));
    EXPECT_EQ(store.thumbnail("K7"), std::string("\xff\xd8\xff\0", 4));
    EXPECT_EQ(store.lecture("K7")->reportPoint, "90");
    std::string savedAt;
    store.engine().read([&](SqlConnection& db) { savedAt = db.query("SELECT saved_at FROM essays").at(0).text(0); });
    EXPECT_EQ(savedAt, "2024-01-02 03:04:05");
}

}
