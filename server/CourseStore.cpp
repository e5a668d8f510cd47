#include "CourseStore.h"

#include "Credentials.h"

namespace {

const char* kLectureColumns = R"(
SELECT l.lecture_key, l.title, l.discussion, s.student_no, s.name, t.teacher_no, t.name,
       e.revision, c.report_point, c.revision
FROM lectures l JOIN students s USING (student_no) JOIN teachers t ON t.teacher_no = l.teacher_no
LEFT JOIN essays e ON e.lecture_key = l.lecture_key
LEFT JOIN corrections c ON c.lecture_key = l.lecture_key
)";

Lecture readLecture(const SqlRow& row)
{
    Lecture lecture;
    lecture.key = row.text(0);
    lecture.title = row.text(1);
    lecture.discussion = row.text(2);
    lecture.student = {row.text(3), row.text(4)};
    lecture.teacher = {row.text(5), row.text(6)};
    lecture.hasEssay = !row.isNull(7);
    lecture.essayRevision = row.number(7);
    lecture.reportPoint = row.text(8);
    lecture.hasCorrection = !row.isNull(9);
    lecture.correctionRevision = row.number(9);
    return lecture;
}

// A checked record, read in place a chunk at a time as the store writes it.
ByteSource viewOf(const std::string& bytes)
{
    return ByteSource(bytes.size(), [&bytes](std::uint64_t offset, std::size_t size) {
        return bytes.substr(std::size_t(offset), size);
    });
}

}

CourseStore::CourseStore(const std::string& location, Commit commit) : engine_(StoreEngine::open(location, commit))
{
}

CourseStore::~CourseStore() = default;

void CourseStore::addTeacher(const Person& teacher, const std::string& password)
{
    const std::string hash = Credentials::HashPassword(password);
    engine_->write([&](SqlConnection& db) {
        db.run("INSERT INTO teachers (teacher_no, name, password_hash) VALUES ($1, $2, $3)",
               {teacher.number, teacher.name, hash});
    });
}

void CourseStore::addStudent(const Person& student, const std::string& password, const std::string& teacherNo)
{
    const std::string hash = Credentials::HashPassword(password);
    engine_->write([&](SqlConnection& db) {
        db.run("INSERT INTO students (student_no, name, password_hash, teacher_no) VALUES ($1, $2, $3, $4)",
               {student.number, student.name, hash, teacherNo});
    });
}

std::string CourseStore::addLecture(const std::string& key, const std::string& studentNo, const std::string& title,
                                    const std::string& discussion)
{
    engine_->write([&](SqlConnection& db) {
        db.run("INSERT INTO lectures (lecture_key, student_no, teacher_no, title, discussion) "
               "SELECT $1, student_no, teacher_no, $2, $3 FROM students WHERE student_no = $4",
               {key, title, discussion, studentNo});
    });
    return key;
}

void CourseStore::seedDemo()
{
    if (lecture(kDemoLecture))
        return;
    addTeacher({"T1001", "박선생"}, "teacher1");
    addStudent({"S1001", "김하늘"}, "student1", "T1001");
    addLecture(kDemoLecture, "S1001", "우리 동네 도서관에 다녀와서",
               "도서관에서 가장 기억에 남는 책은 무엇인가요? 그 까닭도 함께 써 봅시다.");
}

bool CourseStore::personExists(const std::string& number)
{
    bool found = false;
    engine_->read([&](SqlConnection& db) {
        found = !db.query("SELECT 1 FROM teachers WHERE teacher_no = $1 "
                          "UNION ALL SELECT 1 FROM students WHERE student_no = $1",
                          {number})
                     .empty();
    });
    return found;
}

SavedRevision CourseStore::saveEssay(const EssaySave& save)
{
    SavedRevision saved;
    engine_->write([&](SqlConnection& db) { saved = writeEssay(db, save); });
    return saved;
}

void CourseStore::requireBase(SqlConnection& db, const char* table, const std::string& key,
                              std::optional<std::int64_t> base, std::int64_t stored, const std::string& record,
                              const std::string& refusal)
{
    if (!base || *base >= stored)
        return;
    const std::vector<SqlRow> current =
        db.query(std::string("SELECT record FROM ") + table + " WHERE lecture_key = $1", {key});
    if (!current.empty() && current.front().text(0) == record)
        return;
    throw Refusal(409, refusal);
}

SavedRevision CourseStore::writeEssay(SqlConnection& db, const EssaySave& save)
{
    const char* lock = engine_->dialect().lockRows;
    std::string key = save.lectureKey;
    if (key.empty() && !save.newEssayToken.empty()) {
        // Held until the save commits: a second first save of the same run waits here, on
        // any instance, and then finds the lecture this one opened.
        const std::vector<SqlRow> token =
            db.query(std::string("SELECT lecture_key FROM launch_tokens WHERE digest = $1 AND new_essay = 1") + lock,
                     {save.newEssayToken});
        if (!token.empty())
            key = token.front().text(0);
    }
    if (key.empty()) {
        key = openLecture(db, save);
    } else {
        db.query(std::string("SELECT 1 FROM lectures WHERE lecture_key = $1") + lock, {key});
        const std::optional<Lecture> lecture = lectureIn(db, key);
        if (!lecture)
            throw Refusal(404, "강의 " + key + "을(를) 찾을 수 없습니다.");
        if (lecture->student.number != save.studentNo)
            throw Refusal(403, "다른 학생의 강의에는 저장할 수 없습니다.");
        if (lecture->hasCorrection)
            throw Refusal(409, "첨삭이 끝난 글은 고칠 수 없습니다.");
        requireBase(db, "essays", key, save.baseRevision, lecture->essayRevision, save.record,
                    "이 글은 다른 창이나 다른 컴퓨터에서 더 나중에 저장되었습니다. 지금 쓴 글은 저장하지 않았습니다. "
                    "강의 목록에서 글쓰기를 다시 눌러 가장 최근에 저장된 글을 여십시오.");
        db.run("UPDATE lectures SET title = $1 WHERE lecture_key = $2", {save.title, key});
    }
    const std::vector<SqlRow> stored =
        db.query(std::string("INSERT INTO essays (lecture_key, record, submit, revision) VALUES ($1, $2, $3, 1) "
                             "ON CONFLICT (lecture_key) DO UPDATE SET record = excluded.record, "
                             "submit = excluded.submit, revision = essays.revision + 1, saved_at = ")
                     + engine_->dialect().now + " RETURNING revision",
                 {key, Bytes{}, save.submit});
    db.writeBytes("essays", key, {{"record", viewOf(save.record)}});
    return {key, stored.at(0).number(0)};
}

std::string CourseStore::openLecture(SqlConnection& db, const EssaySave& save)
{
    // The student's row is held so that two first saves cannot both pass the count.
    db.query(std::string("SELECT 1 FROM students WHERE student_no = $1") + engine_->dialect().lockRows,
             {save.studentNo});
    if (db.query("SELECT count(*) FROM lectures WHERE student_no = $1", {save.studentNo}).at(0).number(0)
        >= kLecturesPerStudent)
        throw Refusal(403, "새 글을 더 만들 수 없습니다 (학생 한 명에 " + std::to_string(kLecturesPerStudent)
                               + "편까지). 선생님께 문의하십시오.");
    std::string key;
    do {
        key = Credentials::NewLectureKey();
    } while (lectureIn(db, key));
    db.run("INSERT INTO lectures (lecture_key, student_no, teacher_no, title) "
           "SELECT $1, student_no, teacher_no, $2 FROM students WHERE student_no = $3",
           {key, save.title, save.studentNo});
    if (!save.newEssayToken.empty())
        db.run("UPDATE launch_tokens SET lecture_key = $1 WHERE digest = $2", {key, save.newEssayToken});
    return key;
}

SavedRevision CourseStore::saveCorrection(const CorrectionSave& save)
{
    SavedRevision saved;
    engine_->write([&](SqlConnection& db) { saved = writeCorrection(db, save); });
    return saved;
}

SavedRevision CourseStore::writeCorrection(SqlConnection& db, const CorrectionSave& save)
{
    db.query(std::string("SELECT 1 FROM lectures WHERE lecture_key = $1") + engine_->dialect().lockRows,
             {save.lectureKey});
    const std::optional<Lecture> lecture = lectureIn(db, save.lectureKey);
    if (!lecture)
        throw Refusal(404, "강의 " + save.lectureKey + "을(를) 찾을 수 없습니다.");
    if (lecture->teacher.number != save.teacherNo)
        throw Refusal(403, "담당하지 않은 강의는 첨삭할 수 없습니다.");
    if (lecture->student.number != save.studentNo)
        throw Refusal(400, "강의의 학생 번호가 맞지 않습니다.");
    if (!lecture->hasEssay)
        throw Refusal(409, "답안지가 없는 강의입니다.");
    requireBase(db, "corrections", save.lectureKey, save.baseRevision, lecture->correctionRevision, save.record,
                "이 첨삭은 다른 창이나 다른 컴퓨터에서 더 나중에 저장되었습니다. 지금 한 첨삭은 저장하지 "
                "않았습니다. 강의 목록에서 첨삭하기를 다시 눌러 가장 최근에 저장된 첨삭을 여십시오.");
    const std::vector<SqlRow> stored =
        db.query(std::string("INSERT INTO corrections (lecture_key, record, thumbnail, report_point, submit, "
                             "revision) VALUES ($1, $2, $3, $4, $5, 1) ON CONFLICT (lecture_key) DO UPDATE SET "
                             "record = excluded.record, thumbnail = excluded.thumbnail, "
                             "report_point = excluded.report_point, submit = excluded.submit, "
                             "revision = corrections.revision + 1, saved_at = ")
                     + engine_->dialect().now + " RETURNING revision",
                 {save.lectureKey, Bytes{}, Bytes{}, save.reportPoint, save.submit});
    db.writeBytes("corrections", save.lectureKey, {{"record", viewOf(save.record)}, {"thumbnail", save.thumbnail}});
    return {save.lectureKey, stored.at(0).number(0)};
}

std::optional<Lecture> CourseStore::lectureIn(SqlConnection& db, const std::string& key)
{
    const std::vector<SqlRow> rows = db.query(std::string(kLectureColumns) + "WHERE l.lecture_key = $1", {key});
    if (rows.empty())
        return std::nullopt;
    return readLecture(rows.front());
}

std::optional<Lecture> CourseStore::lecture(const std::string& key)
{
    std::optional<Lecture> found;
    engine_->read([&](SqlConnection& db) { found = lectureIn(db, key); });
    return found;
}

std::vector<Lecture> CourseStore::lecturesWhere(const std::string& where, const std::string& number)
{
    std::vector<Lecture> out;
    engine_->read([&](SqlConnection& db) {
        const std::string sql = std::string(kLectureColumns) + where + " ORDER BY " + engine_->dialect().lectureOrder;
        for (const SqlRow& row : where.empty() ? db.query(sql) : db.query(sql, {number}))
            out.push_back(readLecture(row));
    });
    return out;
}

std::vector<Lecture> CourseStore::lectures()
{
    return lecturesWhere("", "");
}

std::vector<Lecture> CourseStore::lecturesOf(const User& user)
{
    return lecturesWhere(user.role == Role::Student ? "WHERE l.student_no = $1" : "WHERE l.teacher_no = $1",
                         user.number);
}

std::optional<Person> CourseStore::student(const std::string& number)
{
    std::optional<Person> found;
    engine_->read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT student_no, name FROM students WHERE student_no = $1", {number});
        if (!rows.empty())
            found = Person{rows.front().text(0), rows.front().text(1)};
    });
    return found;
}

std::optional<std::string> CourseStore::blob(const char* sql, const std::string& key)
{
    std::optional<std::string> found;
    engine_->read([&](SqlConnection& db) {
        std::vector<SqlRow> rows = db.query(sql, {key});
        if (!rows.empty())
            found = rows.front().take(0);
    });
    return found;
}

std::optional<Person> CourseStore::person(const User& user)
{
    if (user.role == Role::Student)
        return student(user.number);
    std::optional<Person> found;
    engine_->read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT teacher_no, name FROM teachers WHERE teacher_no = $1", {user.number});
        if (!rows.empty())
            found = Person{rows.front().text(0), rows.front().text(1)};
    });
    return found;
}

std::optional<StoredRecord> CourseStore::storedRecord(const char* sql, const std::string& key)
{
    std::optional<StoredRecord> found;
    engine_->read([&](SqlConnection& db) {
        std::vector<SqlRow> rows = db.query(sql, {key});
        if (!rows.empty())
            found = StoredRecord{rows.front().take(0), rows.front().number(1)};
    });
    return found;
}

std::optional<StoredRecord> CourseStore::essayWithRevision(const std::string& key)
{
    return storedRecord("SELECT record, revision FROM essays WHERE lecture_key = $1", key);
}

std::optional<StoredRecord> CourseStore::correctionWithRevision(const std::string& key)
{
    return storedRecord("SELECT record, revision FROM corrections WHERE lecture_key = $1", key);
}

std::optional<std::string> CourseStore::essay(const std::string& key)
{
    return blob("SELECT record FROM essays WHERE lecture_key = $1", key);
}

std::optional<std::string> CourseStore::correction(const std::string& key)
{
    return blob("SELECT record FROM corrections WHERE lecture_key = $1", key);
}

std::optional<std::string> CourseStore::thumbnail(const std::string& key)
{
    return blob("SELECT thumbnail FROM corrections WHERE lecture_key = $1", key);
}
