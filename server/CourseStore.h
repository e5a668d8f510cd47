#pragma once

#include "StoreEngine.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A request the course refuses: the reply status and a message for the person (UTF-8).
class Refusal : public std::runtime_error {
public:
    Refusal(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

enum class Role { Student, Teacher };

// A signed-in person.
struct User {
    Role role;
    std::string number;
};

struct Person {
    std::string number;
    std::string name;
};

struct Lecture {
    std::string key;
    std::string title;
    std::string discussion;
    Person student;
    Person teacher;
    bool hasEssay = false;
    bool hasCorrection = false;
    std::string reportPoint;
    // How often each record was stored; 0 while there is none.
    std::int64_t essayRevision = 0;
    std::int64_t correctionRevision = 0;
};

// A stored record and the revision it was stored as, read together.
struct StoredRecord {
    std::string bytes;
    std::int64_t revision = 0;
};

// What a save answers: the lecture and the revision its record is now stored as.
struct SavedRevision {
    std::string lectureKey;
    std::int64_t revision = 0;
};

struct EssaySave {
    std::string studentNo;
    std::string lectureKey;  // empty: a new lecture
    std::string title;
    std::string submit;
    // Whole in memory: it is checked before it is stored.
    std::string record;
    // The digest of the launch token of a new essay: its first save opens one lecture and
    // binds the token to it, and the same save sent again (from any instance) goes there.
    std::string newEssayToken;
    // The stored revision the sender started from (0: none); unset when the sender names
    // none, and then the save is not checked.
    std::optional<std::int64_t> baseRevision;
};

struct CorrectionSave {
    std::string teacherNo;
    std::string lectureKey;
    std::string studentNo;
    std::string record;
    ByteSource thumbnail{std::string()};
    std::string reportPoint;
    std::string submit;
    std::optional<std::int64_t> baseRevision;  // as for EssaySave
};

// The course's people, lectures and stored records, in the engine `location` names (see
// StoreEngine::open). Safe to share between threads. A save returns once it is on disk; on
// SQLite saves that arrive together share one transaction (Commit::Grouped), or each has its
// own (Commit::PerSave, to compare).
class CourseStore {
public:
    static constexpr const char* kDemoLecture = "DEMO0001";
    static constexpr int kLecturesPerStudent = 200;
    using Commit = StoreEngine::Commit;

    explicit CourseStore(const std::string& location, Commit commit = Commit::Grouped);
    ~CourseStore();

    // Sessions, launch tokens and sign-in failures live in the same store (Accounts).
    StoreEngine& engine() { return *engine_; }

    void addTeacher(const Person& teacher, const std::string& password);
    void addStudent(const Person& student, const std::string& password, const std::string& teacherNo);
    std::string addLecture(const std::string& key, const std::string& studentNo, const std::string& title,
                           const std::string& discussion);
    // One teacher, one student, one lecture; nothing when they exist already.
    void seedDemo();
    // True when a teacher or a student has that number.
    bool personExists(const std::string& number);

    // Both raise Refusal, 409 when the save names a base revision older than the stored
    // one (unless it sends the stored bytes again: its own save, whose answer was lost).
    SavedRevision saveEssay(const EssaySave& save);
    SavedRevision saveCorrection(const CorrectionSave& save);

    std::optional<Lecture> lecture(const std::string& key);
    std::vector<Lecture> lectures();
    // The lectures the person writes (a student) or corrects (a teacher).
    std::vector<Lecture> lecturesOf(const User& user);
    std::optional<Person> student(const std::string& number);
    // The signed-in person's number and name.
    std::optional<Person> person(const User& user);
    std::optional<std::string> essay(const std::string& key);
    std::optional<std::string> correction(const std::string& key);
    std::optional<std::string> thumbnail(const std::string& key);
    std::optional<StoredRecord> essayWithRevision(const std::string& key);
    std::optional<StoredRecord> correctionWithRevision(const std::string& key);

private:
    std::optional<std::string> blob(const char* sql, const std::string& key);
    std::optional<Lecture> lectureIn(SqlConnection& db, const std::string& key);
    std::vector<Lecture> lecturesWhere(const std::string& where, const std::string& number);
    SavedRevision writeEssay(SqlConnection& db, const EssaySave& save);
    std::string openLecture(SqlConnection& db, const EssaySave& save);
    SavedRevision writeCorrection(SqlConnection& db, const CorrectionSave& save);
    std::optional<StoredRecord> storedRecord(const char* sql, const std::string& key);
    // The compare-and-set of every save, inside its transaction: `table` is "essays" or
    // "corrections", `stored` the revision stored now.
    void requireBase(SqlConnection& db, const char* table, const std::string& key, std::optional<std::int64_t> base,
                     std::int64_t stored, const std::string& record, const std::string& refusal);

    std::unique_ptr<StoreEngine> engine_;
};
