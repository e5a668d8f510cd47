#include "CourseStore.h"

#include "Credentials.h"
#include "GroupCommit.h"

namespace {

const char* kSchema = R"(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = FULL;
PRAGMA foreign_keys = ON;
CREATE TABLE IF NOT EXISTS teachers (
  teacher_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS students (
  student_no TEXT PRIMARY KEY, name TEXT NOT NULL, password_hash TEXT NOT NULL,
  teacher_no TEXT NOT NULL REFERENCES teachers);
CREATE TABLE IF NOT EXISTS lectures (
  lecture_key TEXT PRIMARY KEY,
  student_no TEXT NOT NULL REFERENCES students,
  teacher_no TEXT NOT NULL REFERENCES teachers,
  title TEXT NOT NULL DEFAULT '', discussion TEXT NOT NULL DEFAULT '',
  created_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
CREATE TABLE IF NOT EXISTS essays (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  record BLOB NOT NULL, submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
CREATE TABLE IF NOT EXISTS corrections (
  lecture_key TEXT PRIMARY KEY REFERENCES lectures,
  record BLOB NOT NULL, thumbnail BLOB NOT NULL, report_point TEXT NOT NULL,
  submit TEXT NOT NULL, revision INTEGER NOT NULL,
  saved_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
)";

const char* kLectureColumns = R"(
SELECT l.lecture_key, l.title, l.discussion, s.student_no, s.name, t.teacher_no, t.name,
       e.revision, c.report_point, c.revision
FROM lectures l JOIN students s USING (student_no) JOIN teachers t ON t.teacher_no = l.teacher_no
LEFT JOIN essays e ON e.lecture_key = l.lecture_key
LEFT JOIN corrections c ON c.lecture_key = l.lecture_key
)";

Lecture readLecture(const Statement& row)
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

}

CourseStore::CourseStore(const std::string& path, Commit commit) : db_(path)
{
    db_.exec(kSchema);
    if (commit == Commit::Grouped)
        group_ = std::make_unique<GroupCommit>(db_, mutex_);
}

CourseStore::~CourseStore() = default;

void CourseStore::write(const std::function<void()>& writes)
{
    if (group_)
        return group_->run(writes);
    const std::lock_guard lock(mutex_);
    Transaction transaction(db_);
    writes();
    transaction.commit();
}

void CourseStore::addTeacher(const Person& teacher, const std::string& password)
{
    const std::string hash = Credentials::HashPassword(password);
    const std::lock_guard lock(mutex_);
    db_.prepare("INSERT INTO teachers (teacher_no, name, password_hash) VALUES (?, ?, ?)")
        .bind(1, teacher.number)
        .bind(2, teacher.name)
        .bind(3, hash)
        .run();
}

void CourseStore::addStudent(const Person& student, const std::string& password, const std::string& teacherNo)
{
    const std::string hash = Credentials::HashPassword(password);
    const std::lock_guard lock(mutex_);
    db_.prepare("INSERT INTO students (student_no, name, password_hash, teacher_no) "
                "VALUES (?, ?, ?, ?)")
        .bind(1, student.number)
        .bind(2, student.name)
        .bind(3, hash)
        .bind(4, teacherNo)
        .run();
}

std::string CourseStore::addLecture(const std::string& key, const std::string& studentNo, const std::string& title,
                                    const std::string& discussion)
{
    const std::lock_guard lock(mutex_);
    db_.prepare("INSERT INTO lectures (lecture_key, student_no, teacher_no, title, discussion) "
                "SELECT ?, student_no, teacher_no, ?, ? FROM students WHERE student_no = ?")
        .bind(1, key)
        .bind(2, title)
        .bind(3, discussion)
        .bind(4, studentNo)
        .run();
    return key;
}

void CourseStore::seedDemo()
{
    {
        const std::lock_guard lock(mutex_);
        Statement found = db_.prepare("SELECT 1 FROM lectures WHERE lecture_key = ?");
        if (found.bind(1, std::string(kDemoLecture)).step())
            return;
    }
    addTeacher({"T1001", "박선생"}, "teacher1");
    addStudent({"S1001", "김하늘"}, "student1", "T1001");
    addLecture(kDemoLecture, "S1001", "우리 동네 도서관에 다녀와서",
               "도서관에서 가장 기억에 남는 책은 무엇인가요? 그 까닭도 함께 써 봅시다.");
}

bool CourseStore::personExists(const std::string& number)
{
    const std::lock_guard lock(mutex_);
    return db_
        .prepare("SELECT 1 FROM teachers WHERE teacher_no = ?1 UNION ALL SELECT 1 FROM students WHERE student_no = ?1")
        .bind(1, number)
        .step();
}

SavedRevision CourseStore::saveEssay(const EssaySave& save)
{
    SavedRevision saved;
    write([&] { saved = writeEssay(save); });
    return saved;
}

void CourseStore::requireBase(const char* table, const std::string& key, std::optional<std::int64_t> base,
                              std::int64_t stored, const std::string& record, const std::string& refusal)
{
    if (!base || *base >= stored)
        return;
    const std::optional<StoredRecord> current =
        storedRecord((std::string("SELECT record, revision FROM ") + table + " WHERE lecture_key = ?").c_str(), key);
    if (current && current->bytes == record)
        return;
    throw Refusal(409, refusal);
}

SavedRevision CourseStore::writeEssay(const EssaySave& save)
{
    std::string key = save.lectureKey;
    if (key.empty()) {
        Statement count = db_.prepare("SELECT count(*) FROM lectures WHERE student_no = ?");
        count.bind(1, save.studentNo).step();
        if (count.number(0) >= kLecturesPerStudent)
            throw Refusal(403, "새 글을 더 만들 수 없습니다 (학생 한 명에 " + std::to_string(kLecturesPerStudent)
                                   + "편까지). 선생님께 문의하십시오.");
        do {
            key = Credentials::NewLectureKey();
        } while (lectureLocked(key));
        db_.prepare("INSERT INTO lectures (lecture_key, student_no, teacher_no, title) "
                    "SELECT ?, student_no, teacher_no, ? FROM students WHERE student_no = ?")
            .bind(1, key)
            .bind(2, save.title)
            .bind(3, save.studentNo)
            .run();
    } else {
        const std::optional<Lecture> lecture = lectureLocked(key);
        if (!lecture)
            throw Refusal(404, "강의 " + key + "을(를) 찾을 수 없습니다.");
        if (lecture->student.number != save.studentNo)
            throw Refusal(403, "다른 학생의 강의에는 저장할 수 없습니다.");
        if (lecture->hasCorrection)
            throw Refusal(409, "첨삭이 끝난 글은 고칠 수 없습니다.");
        requireBase("essays", key, save.baseRevision, lecture->essayRevision, save.record,
                    "이 글은 다른 창이나 다른 컴퓨터에서 더 나중에 저장되었습니다. 지금 쓴 글은 저장하지 않았습니다. "
                    "강의 목록에서 글쓰기를 다시 눌러 가장 최근에 저장된 글을 여십시오.");
        db_.prepare("UPDATE lectures SET title = ? WHERE lecture_key = ?").bind(1, save.title).bind(2, key).run();
    }
    Statement stored = db_.prepare("INSERT INTO essays (lecture_key, record, submit, revision) VALUES (?, ?, ?, 1) "
                                   "ON CONFLICT (lecture_key) DO UPDATE SET record = excluded.record, "
                                   "submit = excluded.submit, revision = revision + 1, saved_at = CURRENT_TIMESTAMP "
                                   "RETURNING revision");
    stored.bind(1, key).bindBlob(2, save.record).bind(3, save.submit).step();
    return {key, stored.number(0)};
}

SavedRevision CourseStore::saveCorrection(const CorrectionSave& save)
{
    SavedRevision saved;
    write([&] { saved = writeCorrection(save); });
    return saved;
}

SavedRevision CourseStore::writeCorrection(const CorrectionSave& save)
{
    const std::optional<Lecture> lecture = lectureLocked(save.lectureKey);
    if (!lecture)
        throw Refusal(404, "강의 " + save.lectureKey + "을(를) 찾을 수 없습니다.");
    if (lecture->teacher.number != save.teacherNo)
        throw Refusal(403, "담당하지 않은 강의는 첨삭할 수 없습니다.");
    if (lecture->student.number != save.studentNo)
        throw Refusal(400, "강의의 학생 번호가 맞지 않습니다.");
    if (!lecture->hasEssay)
        throw Refusal(409, "답안지가 없는 강의입니다.");
    requireBase("corrections", save.lectureKey, save.baseRevision, lecture->correctionRevision, save.record,
                "이 첨삭은 다른 창이나 다른 컴퓨터에서 더 나중에 저장되었습니다. 지금 한 첨삭은 저장하지 "
                "않았습니다. 강의 목록에서 첨삭하기를 다시 눌러 가장 최근에 저장된 첨삭을 여십시오.");
    Statement stored = db_.prepare("INSERT INTO corrections (lecture_key, record, thumbnail, report_point, submit, "
                                   "revision) VALUES (?, ?, ?, ?, ?, 1) ON CONFLICT (lecture_key) DO UPDATE SET "
                                   "record = excluded.record, thumbnail = excluded.thumbnail, "
                                   "report_point = excluded.report_point, submit = excluded.submit, "
                                   "revision = revision + 1, saved_at = CURRENT_TIMESTAMP RETURNING revision");
    stored.bind(1, save.lectureKey)
        .bindBlob(2, save.record)
        .bindBlob(3, save.thumbnail)
        .bind(4, save.reportPoint)
        .bind(5, save.submit)
        .step();
    return {save.lectureKey, stored.number(0)};
}

std::optional<Lecture> CourseStore::lectureLocked(const std::string& key)
{
    Statement row = db_.prepare(std::string(kLectureColumns) + "WHERE l.lecture_key = ?");
    if (!row.bind(1, key).step())
        return std::nullopt;
    return readLecture(row);
}

std::optional<Lecture> CourseStore::lecture(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    return lectureLocked(key);
}

std::vector<Lecture> CourseStore::lectures()
{
    const std::lock_guard lock(mutex_);
    std::vector<Lecture> out;
    Statement row = db_.prepare(std::string(kLectureColumns) + "ORDER BY l.created_at, l.rowid");
    while (row.step())
        out.push_back(readLecture(row));
    return out;
}

std::vector<Lecture> CourseStore::lecturesOf(const User& user)
{
    const std::lock_guard lock(mutex_);
    std::vector<Lecture> out;
    Statement row = db_.prepare(std::string(kLectureColumns)
                                + (user.role == Role::Student ? "WHERE l.student_no = ?" : "WHERE l.teacher_no = ?")
                                + " ORDER BY l.created_at, l.rowid");
    row.bind(1, user.number);
    while (row.step())
        out.push_back(readLecture(row));
    return out;
}

std::optional<Person> CourseStore::student(const std::string& number)
{
    const std::lock_guard lock(mutex_);
    Statement row = db_.prepare("SELECT student_no, name FROM students WHERE student_no = ?");
    if (!row.bind(1, number).step())
        return std::nullopt;
    return Person{row.text(0), row.text(1)};
}

std::optional<std::string> CourseStore::blob(const char* sql, const std::string& key)
{
    const std::lock_guard lock(mutex_);
    Statement row = db_.prepare(sql);
    if (!row.bind(1, key).step())
        return std::nullopt;
    return row.blob(0);
}

std::optional<Person> CourseStore::person(const User& user)
{
    const std::lock_guard lock(mutex_);
    Statement row =
        db_.prepare(user.role == Role::Student ? "SELECT student_no, name FROM students WHERE student_no = ?"
                                               : "SELECT teacher_no, name FROM teachers WHERE teacher_no = ?");
    if (!row.bind(1, user.number).step())
        return std::nullopt;
    return Person{row.text(0), row.text(1)};
}

std::optional<StoredRecord> CourseStore::storedRecord(const char* sql, const std::string& key)
{
    Statement row = db_.prepare(sql);
    if (!row.bind(1, key).step())
        return std::nullopt;
    return StoredRecord{row.blob(0), row.number(1)};
}

std::optional<StoredRecord> CourseStore::essayWithRevision(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    return storedRecord("SELECT record, revision FROM essays WHERE lecture_key = ?", key);
}

std::optional<StoredRecord> CourseStore::correctionWithRevision(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    return storedRecord("SELECT record, revision FROM corrections WHERE lecture_key = ?", key);
}

std::optional<std::string> CourseStore::essay(const std::string& key)
{
    return blob("SELECT record FROM essays WHERE lecture_key = ?", key);
}

std::optional<std::string> CourseStore::correction(const std::string& key)
{
    return blob("SELECT record FROM corrections WHERE lecture_key = ?", key);
}

std::optional<std::string> CourseStore::thumbnail(const std::string& key)
{
    return blob("SELECT thumbnail FROM corrections WHERE lecture_key = ?", key);
}
