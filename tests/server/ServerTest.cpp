#include "TestStore.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/ClientIf.h"
#include "server/CourseStore.h"
#include "server/Cp949Text.h"
#include "server/LaunchFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

namespace {

// Blank paper: the record's text may hold any byte the packet can carry.
std::string essayPacket(const QString& text)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001", text);
    return EssayRecord::toPacket(record).toStdString();
}

std::string manuscriptPacket(int lines)
{
    DataSet record(EssayRecord::fields());
    record.append();
    record.setInteger(u"NType", EssayRecord::Manuscript);
    record.setString(u"L1", QString("가\r\n").repeated(lines));
    record.post();
    return EssayRecord::toPacket(record).toStdString();
}

std::string correctionPacket(const QString& review = {})
{
    DataSet record(CorrectionRecord::fields());
    if (!review.isEmpty()) {
        record.append();
        record.setString(u"M1", review);
        record.post();
    }
    return CorrectionRecord::toPacket(record).toStdString();
}

const std::string kRecord = essayPacket("--\r\n\x03 가을 <DATAPACKET/>");
const std::string kJpeg("\xff\xd8\xff\xe0 jpeg bytes", 15);

std::string cp949(const std::string& utf8)
{
    return Utf8ToCp949(utf8);
}

class ServerTest : public ::testing::Test {
protected:
    ServerTest() : store(TestStoreLocation(dir.path())), accounts(store) { store.seedDemo(); }

    ClientReply post(const FormParts& form) { return HandleClientIf(store, accounts, form, "127.0.0.1"); }

    static FormParts essayForm()
    {
        return {{"flag", {"S002", "", ""}},
                {"student_no", {"S1001", "", ""}},
                {"password", {"student1", "", ""}},
                {"lecturekey", {"DEMO0001", "", ""}},
                {"submit", {"N", "", ""}},
                {"title", {cp949("가을 하늘"), "", ""}},
                {"file", {kRecord, "Editor", "multipart/form-data"}}};
    }

    static FormParts correctionForm()
    {
        return {{"flag", {"T002", "", ""}},
                {"teacher_no", {"T1001", "", ""}},
                {"password", {"teacher1", "", ""}},
                {"lecturekey", {"DEMO0001", "", ""}},
                {"student_no", {"S1001", "", ""}},
                {"file", {correctionPacket(), "Teacher", "multipart/form-data"}},
                {"thumbnail", {kJpeg, "thumStream", "multipart/form-data"}},
                {"report_point", {"87", "", ""}},
                {"submit", {"N", "", ""}}};
    }

    static FormParts with(FormParts form, const std::string& name, const std::string& value)
    {
        form.erase(name);
        form.emplace(name, FormPart{value, "", ""});
        return form;
    }

    static FormParts without(FormParts form, const std::string& name)
    {
        form.erase(name);
        return form;
    }

    // Everything a save could change.
    std::string snapshot()
    {
        std::string out;
        for (const Lecture& l : store.lectures())
            out += l.key + "|" + l.title + "|" + std::to_string(l.essayRevision) + "|" + l.reportPoint + "|"
                   + store.essay(l.key).value_or("-") + "|" + store.correction(l.key).value_or("-") + "|"
                   + store.thumbnail(l.key).value_or("-") + "\n";
        return out;
    }

    QTemporaryDir dir;
    CourseStore store;
    Accounts accounts;
};

TEST_F(ServerTest, EssaySaveStoresTheRecordUnchanged)
{
    const ClientReply reply = post(essayForm());
    EXPECT_EQ(reply.status, 200) << reply.message;
    EXPECT_EQ(reply.value, "DEMO0001");
    EXPECT_EQ(store.essay("DEMO0001"), kRecord);
    EXPECT_EQ(store.lecture("DEMO0001")->title, "가을 하늘");

    post(with(essayForm(), "file", essayPacket("second")));
    EXPECT_EQ(store.essay("DEMO0001"), essayPacket("second"));
    EXPECT_EQ(store.lecture("DEMO0001")->essayRevision, 2);
}

// Every save names the revision it started from; one that started from an older revision
// than the stored one would overwrite work it never saw.
TEST_F(ServerTest, SavesFromAnOlderRevisionAreRefused)
{
    const auto essay = [&](const char* base, const QString& text) {
        FormParts form = essayForm();
        form.erase("file");
        form.emplace("file", FormPart{essayPacket(text), "Editor", "multipart/form-data"});
        return post(base ? with(form, "base_revision", base) : form);
    };
    struct Step {
        const char* what;
        const char* base;  // nullptr: a client that names none
        QString text;
        int status;
        std::int64_t stored;  // the revision stored afterwards
    };
    const Step steps[] = {
        {"first save of a run that opened nothing", "0", "첫 글", 200, 1},
        {"the same run saves on", "1", "첫 글 더", 200, 2},
        {"a second window that opened revision 1", "1", "다른 창의 글", 409, 2},
        {"a stale launch file that knew no essay", "0", "새 글", 409, 2},
        {"its own save sent again after a lost answer", "1", "첫 글 더", 200, 3},
        {"the run goes on from the answer", "3", "셋째", 200, 4},
        {"a client that knows no revisions is not checked", nullptr, "옛 프로그램", 200, 5},
        {"a base that is not a number", "x", "틀림", 400, 5},
        {"an empty base", "", "틀림", 400, 5},
    };
    for (const Step& step : steps) {
        const std::string before = snapshot();
        const ClientReply reply = essay(step.base, step.text);
        EXPECT_EQ(reply.status, step.status) << step.what << ": " << reply.message;
        EXPECT_EQ(store.lecture("DEMO0001")->essayRevision, step.stored) << step.what;
        if (reply.status == 200) {
            EXPECT_EQ(reply.revision, step.stored) << step.what;
            EXPECT_EQ(store.essay("DEMO0001"), essayPacket(step.text)) << step.what;
        } else {
            EXPECT_FALSE(reply.revision) << step.what;
            EXPECT_EQ(snapshot(), before) << step.what;
        }
    }
    const ClientReply stale = essay("1", "늦은 글");
    EXPECT_NE(stale.message.find("강의 목록"), std::string::npos) << stale.message;
    EXPECT_NE(stale.bytes().find(cp949("강의 목록")), std::string::npos) << "the client reads it in its own layout";
}

TEST_F(ServerTest, CorrectionsFromAnOlderRevisionAreRefused)
{
    post(essayForm());
    const auto correct = [&](const char* base, const QString& review) {
        FormParts form = correctionForm();
        form.erase("file");
        form.emplace("file", FormPart{correctionPacket(review), "Teacher", "multipart/form-data"});
        return post(with(form, "base_revision", base));
    };
    EXPECT_EQ(correct("0", "첫 총평").revision, 1);
    const std::string before = snapshot();
    const ClientReply otherMachine = correct("0", "다른 컴퓨터의 총평");
    EXPECT_EQ(otherMachine.status, 409) << otherMachine.message;
    EXPECT_NE(otherMachine.message.find("첨삭하기"), std::string::npos) << otherMachine.message;
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(store.correction("DEMO0001"), correctionPacket("첫 총평"));
    EXPECT_EQ(correct("1", "고친 총평").revision, 2);
    EXPECT_EQ(store.lecture("DEMO0001")->correctionRevision, 2);
}

TEST_F(ServerTest, EmptyLectureKeyOpensANewLecture)
{
    const ClientReply reply = post(with(essayForm(), "lecturekey", ""));
    ASSERT_EQ(reply.status, 200) << reply.message;
    EXPECT_EQ(reply.value.size(), 16u);
    const std::optional<Lecture> lecture = store.lecture(reply.value);
    ASSERT_TRUE(lecture);
    EXPECT_EQ(lecture->student.number, "S1001");
    EXPECT_EQ(lecture->teacher.number, "T1001");
    EXPECT_EQ(store.essay(reply.value), kRecord);
    EXPECT_NE(post(with(essayForm(), "lecturekey", "")).value, reply.value);
}

TEST_F(ServerTest, LaunchTokenStandsInForThePasswordOfItsLectureAndGrant)
{
    const User student{Role::Student, "S1001"};
    const User teacher{Role::Teacher, "T1001"};
    const std::string token = accounts.issueToken(student, Grant::Write, "DEMO0001", "");
    EXPECT_EQ(post(with(essayForm(), "password", token)).status, 200);
    EXPECT_EQ(post(with(essayForm(), "password", token)).status, 200);

    const std::string teacherToken = accounts.issueToken(teacher, Grant::Correct, "DEMO0001", "");
    const std::string viewToken = accounts.issueToken(student, Grant::View, "DEMO0001", "");
    const std::string otherLecture = accounts.issueToken(student, Grant::Write, "ELSEWHERE", "");
    EXPECT_EQ(post(with(essayForm(), "password", teacherToken)).status, 401);
    EXPECT_EQ(post(with(essayForm(), "password", viewToken)).status, 401);
    EXPECT_EQ(post(with(essayForm(), "password", otherLecture)).status, 401);
    EXPECT_EQ(post(with(correctionForm(), "password", teacherToken)).status, 200);
}

TEST_F(ServerTest, NewEssayTokenIsBoundByItsFirstSave)
{
    const std::string token = accounts.issueToken({Role::Student, "S1001"}, Grant::Write, "", "");
    const FormParts fresh = with(with(essayForm(), "lecturekey", ""), "password", token);
    const ClientReply first = post(fresh);
    ASSERT_EQ(first.status, 200) << first.message;
    // The run saves on to its lecture; the first save sent again lands there too.
    EXPECT_EQ(post(with(with(essayForm(), "lecturekey", first.value), "password", token)).status, 200);
    const ClientReply again = post(fresh);
    EXPECT_EQ(again.status, 200) << again.message;
    EXPECT_EQ(again.value, first.value);
    EXPECT_EQ(store.lecture(first.value)->essayRevision, 3);
}

TEST_F(ServerTest, SimultaneousFirstSavesWithOneTokenOpenOneLecture)
{
    const std::string token = accounts.issueToken({Role::Student, "S1001"}, Grant::Write, "", "");
    const FormParts fresh = with(with(essayForm(), "lecturekey", ""), "password", token);
    std::vector<std::thread> runs;
    std::vector<ClientReply> replies(6);
    for (size_t i = 0; i < replies.size(); ++i)
        runs.emplace_back([&, i] { replies[i] = post(fresh); });
    for (std::thread& run : runs)
        run.join();
    for (const ClientReply& reply : replies) {
        EXPECT_EQ(reply.status, 200) << reply.message;
        EXPECT_EQ(reply.value, replies.front().value);
    }
    EXPECT_EQ(store.lecturesOf({Role::Student, "S1001"}).size(), 2u);
}

TEST_F(ServerTest, SigningOutRevokesTheSessionsTokens)
{
    const std::optional<User> user = accounts.signIn("S1001", "student1", "127.0.0.1");
    ASSERT_TRUE(user);
    const Session session = accounts.openSession(*user);
    const std::string token = accounts.issueToken(*user, Grant::Write, "DEMO0001", session.id);
    EXPECT_TRUE(accounts.useToken(token, Grant::Write, "DEMO0001"));
    accounts.closeSession(session.id);
    EXPECT_FALSE(accounts.session(session.id));
    EXPECT_FALSE(accounts.useToken(token, Grant::Write, "DEMO0001"));
    EXPECT_EQ(post(with(essayForm(), "password", token)).status, 401);
}

TEST_F(ServerTest, WrongPasswordsHoldBackOnlyTheirNumberFromTheirAddress)
{
    for (int i = 0; i < LoginThrottle::kFreeFailures; ++i)
        EXPECT_EQ(post(with(essayForm(), "password", "wrong")).status, 401);
    // Past the free failures even the right password waits, and no hash is computed for it.
    const ClientReply throttled = post(essayForm());
    EXPECT_EQ(throttled.status, 429);
    EXPECT_NE(throttled.message.find("뒤에 다시 시도하십시오"), std::string::npos) << throttled.message;
    // The same person elsewhere, and other people behind the same address, sign in.
    EXPECT_EQ(HandleClientIf(store, accounts, essayForm(), "192.0.2.7").status, 200);
    store.addStudent({"S1002", "이학생"}, "student2", "T1001");
    EXPECT_EQ(post(with(with(essayForm(), "student_no", "S1002"), "password", "student2")).status, 403);
    // A launch token is no password: the run's saves go on.
    const std::string token = accounts.issueToken({Role::Student, "S1001"}, Grant::Write, "DEMO0001", "");
    EXPECT_EQ(post(with(essayForm(), "password", token)).status, 200);
}

TEST_F(ServerTest, SignInThrottleForgetsTheOldestPairsPastItsSize)
{
    constexpr std::size_t kCapacity = 300;
    LoginThrottle throttle(store.engine(), kCapacity);
    for (std::size_t i = 0; i < kCapacity + 100; ++i)
        throttle.failed("X" + std::to_string(i) + std::string(500, 'x'), "10.0.0.1");
    EXPECT_EQ(throttle.pairs(), kCapacity);
    // The youngest are kept, the oldest gone.
    for (int i = 0; i < LoginThrottle::kFreeFailures - 1; ++i)
        throttle.failed("X399" + std::string(500, 'x'), "10.0.0.1");
    EXPECT_TRUE(throttle.wait("X399" + std::string(500, 'x'), "10.0.0.1"));
    for (int i = 0; i < LoginThrottle::kFreeFailures - 1; ++i)
        throttle.failed("X0" + std::string(500, 'x'), "10.0.0.1");
    EXPECT_FALSE(throttle.wait("X0" + std::string(500, 'x'), "10.0.0.1")) << "its earlier failure was forgotten";

    for (int i = 0; i < LoginThrottle::kFreeFailures; ++i)
        throttle.failed("S1001", "10.0.0.2");
    EXPECT_TRUE(throttle.wait("S1001", "10.0.0.2"));
    EXPECT_FALSE(throttle.wait("S1001", "10.0.0.3"));
    EXPECT_FALSE(throttle.wait("S1002", "10.0.0.2"));
    throttle.succeeded("S1001", "10.0.0.2");
    EXPECT_FALSE(throttle.wait("S1001", "10.0.0.2"));
}

TEST_F(ServerTest, TokensPerPersonAreBoundedLeastRecentlyUsedFirst)
{
    const User student{Role::Student, "S1001"};
    const std::string inUse = accounts.issueToken(student, Grant::Write, "DEMO0001", "");
    const std::string idle = accounts.issueToken(student, Grant::View, "DEMO0001", "");
    for (int i = 0; i < Accounts::kTokensPerUser - 2; ++i) {
        accounts.issueToken(student, Grant::View, "DEMO0001", "");
        EXPECT_TRUE(accounts.useToken(inUse, Grant::Write, "DEMO0001"));
    }
    accounts.issueToken(student, Grant::View, "DEMO0001", "");
    EXPECT_TRUE(accounts.useToken(inUse, Grant::Write, "DEMO0001"));
    EXPECT_FALSE(accounts.useToken(idle, std::nullopt, "DEMO0001"));
}

TEST_F(ServerTest, CorrectionSaveStoresRecordThumbnailAndScore)
{
    post(essayForm());
    const ClientReply reply = post(correctionForm());
    EXPECT_EQ(reply.status, 200) << reply.message;
    EXPECT_EQ(store.correction("DEMO0001"), correctionPacket());
    EXPECT_EQ(store.thumbnail("DEMO0001"), kJpeg);
    EXPECT_EQ(store.lecture("DEMO0001")->reportPoint, "87");

    // A corrected essay is closed to the student.
    const std::string before = snapshot();
    EXPECT_EQ(post(essayForm()).status, 409);
    EXPECT_EQ(snapshot(), before);
}

struct Refused {
    const char* name;
    std::function<FormParts()> form;
    int status;
};

TEST_F(ServerTest, AThumbnailSpooledWithItsBodyIsStoredFromThereByteForByte)
{
    post(essayForm());
    // Several chunks, in a body spooled to a file, between other parts' bytes.
    std::string thumbnail = kJpeg;
    while (thumbnail.size() < 3 * SqlConnection::kChunk + 777)
        thumbnail += char(thumbnail.size() * 31 >> 3);
    auto body = std::make_shared<BodyFile>();
    const std::string before = "--boundary\r\nother part\r\n";
    body->append(before.data(), before.size());
    body->append(thumbnail.data(), thumbnail.size());
    body->append("\r\n--boundary--", 15);
    FormParts form = without(correctionForm(), "thumbnail");
    form.emplace("thumbnail", FormPart::InBody(body, before.size(), thumbnail.size(), "thumStream", "image/jpeg"));

    const ClientReply reply = post(form);
    EXPECT_EQ(reply.status, 200) << reply.message;
    EXPECT_TRUE(store.thumbnail("DEMO0001") == thumbnail);
    EXPECT_EQ(store.correction("DEMO0001"), correctionPacket());
}

TEST_F(ServerTest, RefusedFormsStoreNothing)
{
    post(essayForm());
    store.addTeacher({"T2002", "다른선생"}, "other");
    store.addStudent({"S2002", "다른학생"}, "other", "T2002");
    auto twice = [] {
        FormParts form = essayForm();
        form.emplace("file", FormPart{"again", "Editor", ""});
        return form;
    };
    const Refused cases[] = {
        {"wrong password", [] { return with(essayForm(), "password", "nope"); }, 401},
        {"unknown student", [] { return with(essayForm(), "student_no", "S9999"); }, 401},
        {"other student's lecture", [] { return with(with(essayForm(), "student_no", "S2002"), "password", "other"); },
         403},
        {"unknown lecture", [] { return with(essayForm(), "lecturekey", "NOPE"); }, 404},
        {"missing file", [] { return without(essayForm(), "file"); }, 400},
        {"missing password", [] { return without(essayForm(), "password"); }, 400},
        {"part twice", twice, 400},
        {"empty record", [] { return with(essayForm(), "file", ""); }, 400},
        {"record not a packet", [] { return with(essayForm(), "file", "<DATAPACKET"); }, 400},
        {"record with too many lines",
         [] { return with(essayForm(), "file", manuscriptPacket(EssayRecord::kMaxLines + 1)); }, 400},
        {"blank paper with too many lines",
         [] { return with(essayForm(), "file", essayPacket(QString("줄\r\n").repeated(EssayRecord::kMaxLines + 1))); },
         400},
        {"correction record not a packet", [] { return with(correctionForm(), "file", "garbage"); }, 400},
        {"title not code page 949", [] { return with(essayForm(), "title", "\x81\x20\xff"); }, 400},
        {"separator in title",
         [] {
             return with(essayForm(), "title",
                         "a\x03"
                         "b");
         },
         400},
        {"submit other than N or Y", [] { return with(essayForm(), "submit", "X"); }, 400},
        {"no flag", [] { return without(essayForm(), "flag"); }, 400},
        {"unknown flag", [] { return with(essayForm(), "flag", "S003"); }, 400},
        {"teacher's wrong password", [] { return with(correctionForm(), "password", "x"); }, 401},
        {"not the lecture's teacher",
         [] { return with(with(correctionForm(), "teacher_no", "T2002"), "password", "other"); }, 403},
        {"thumbnail not JPEG", [] { return with(correctionForm(), "thumbnail", "GIF89a"); }, 400},
        {"student does not match", [] { return with(correctionForm(), "student_no", "S2002"); }, 400},
        {"missing score", [] { return without(correctionForm(), "report_point"); }, 400},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = snapshot();
        const ClientReply reply = post(c.form());
        EXPECT_EQ(reply.status, c.status) << reply.message;
        EXPECT_FALSE(reply.message.empty());
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(ServerTest, CorrectionNeedsAnEssay)
{
    const std::string before = snapshot();
    EXPECT_EQ(post(correctionForm()).status, 409);
    EXPECT_EQ(snapshot(), before);
}

TEST(ClientReply, IsCodePage949InTheClientLayout)
{
    EXPECT_EQ(ClientReply({200, "저장되었습니다.", "K1"}).bytes(), "200 " + cp949("저장되었습니다.") + "\x03K1");
    EXPECT_EQ(ClientReply({401, "", ""}).bytes(), "401 \x03");
}

std::vector<std::string> fields(const std::string& launch)
{
    const std::string text = *Cp949ToUtf8(launch);
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == '\x03')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST_F(ServerTest, RecordOfTheLargestSizeIsAccepted)
{
    EXPECT_EQ(post(with(essayForm(), "file", manuscriptPacket(EssayRecord::kMaxLines))).status, 200);
}

TEST_F(ServerTest, LaunchFilesCarryEachModesFields)
{
    const std::string base = "http://127.0.0.1:9";
    Lecture lecture = *store.lecture("DEMO0001");
    lecture.title = "제목\x03줄\r\n";

    using Fields = std::vector<std::string>;
    // Before the first save the essay address is there, and the revision is 0.
    EXPECT_EQ(fields(StudentLaunch(lecture, "TOK", base)),
              (Fields{"S001", "S1001", "TOK", "0", "DEMO0001", base + "/essay/DEMO0001?t=TOK", "1", "제목줄", "0", "0",
                      base + "/discussion/DEMO0001?t=TOK", "0"}));
    const Fields beforeCorrection = fields(TeacherLaunch(lecture, "TT", base));
    EXPECT_EQ(beforeCorrection[7], base + "/correction/DEMO0001?t=TT");
    EXPECT_EQ(beforeCorrection[13], "0");

    post(essayForm());
    post(essayForm());
    post(correctionForm());
    lecture = *store.lecture("DEMO0001");
    EXPECT_EQ(fields(StudentLaunch(lecture, "TOK", base)),
              (Fields{"S001", "S1001", "TOK", "1", "DEMO0001", base + "/essay/DEMO0001?t=TOK", "0", "가을 하늘", "0",
                      "0", base + "/discussion/DEMO0001?t=TOK", "2"}));
    EXPECT_EQ(fields(TeacherLaunch(lecture, "TT", base)),
              (Fields{"T001", "T1001", "TT", "1", "DEMO0001", "S1001", base + "/essay/DEMO0001?t=TT",
                      base + "/correction/DEMO0001?t=TT", "1", "가을 하늘", "87", base + "/discussion/DEMO0001?t=TT",
                      "Y", "1"}));
    EXPECT_EQ(fields(ViewLaunch(lecture, "VT", base)),
              (Fields{"C001", "T1001", "VT", "1", "DEMO0001", base + "/essay/DEMO0001?t=VT",
                      base + "/correction/DEMO0001?t=VT", "가을 하늘", "87", base + "/discussion/DEMO0001?t=VT", "Y"}));
    EXPECT_EQ(fields(NewEssayLaunch({"S1001", "김하늘"}, "TOK")),
              (Fields{"S001", "S1001", "TOK", "0", "", "", "1", "", "0", "0", "", "0"}));
}

}
