#include "Accounts.h"

#include "Credentials.h"

#include <ctime>

namespace {

const char* kSchema = R"(
DROP TABLE IF EXISTS tokens;
CREATE TABLE IF NOT EXISTS launch_tokens (
  digest TEXT PRIMARY KEY, grant_kind TEXT NOT NULL, role TEXT NOT NULL, person_no TEXT NOT NULL,
  lecture_key TEXT NOT NULL, session TEXT NOT NULL, issued_at INTEGER NOT NULL,
  expires_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions (
  digest TEXT PRIMARY KEY, role TEXT NOT NULL, person_no TEXT NOT NULL, csrf TEXT NOT NULL,
  expires_at INTEGER NOT NULL);
)";

Refusal throttled(std::chrono::seconds wait)
{
    const std::string after =
        wait.count() < 60 ? std::to_string(wait.count()) + "초" : std::to_string((wait.count() + 59) / 60) + "분";
    return Refusal(429, "비밀번호가 여러 번 틀려 잠시 로그인할 수 없습니다. " + after + " 뒤에 다시 시도하십시오.");
}

std::int64_t now()
{
    return std::int64_t(std::time(nullptr));
}

const char* roleName(Role role)
{
    return role == Role::Student ? "student" : "teacher";
}

Role roleOf(const std::string& name)
{
    return name == "teacher" ? Role::Teacher : Role::Student;
}

const char* grantName(Grant grant)
{
    switch (grant) {
    case Grant::Write:
        return "write";
    case Grant::Correct:
        return "correct";
    default:
        return "view";
    }
}

}

Accounts::Accounts(const std::string& path) : db_(path)
{
    db_.exec(kSchema);
    // Token uses are renewals, not records: losing the last few to a power cut costs
    // nothing, so they need not wait for the disk.
    db_.exec("PRAGMA synchronous = NORMAL");
    bool hasUse = false;
    {
        Statement column = db_.prepare("SELECT 1 FROM pragma_table_info('launch_tokens') WHERE name = 'used'");
        hasUse = column.step();
    }
    if (!hasUse)
        db_.exec("ALTER TABLE launch_tokens ADD COLUMN used INTEGER NOT NULL DEFAULT 0;"
                 "ALTER TABLE launch_tokens ADD COLUMN new_essay INTEGER NOT NULL DEFAULT 0;");
}

std::optional<User> Accounts::signIn(const std::string& number, const std::string& password, const std::string& address)
{
    if (const auto wait = throttle_.wait(number, address))
        throw throttled(*wait);
    std::optional<User> user;
    std::string hash;
    {
        const std::lock_guard lock(mutex_);
        Statement row = db_.prepare("SELECT 'teacher', password_hash FROM teachers WHERE teacher_no = ?1 "
                                    "UNION ALL SELECT 'student', password_hash FROM students WHERE student_no = ?1");
        if (row.bind(1, number).step()) {
            user = User{roleOf(row.text(0)), number};
            hash = row.text(1);
        }
    }
    // Checked again once a hashing place is free: attempts queued meanwhile count too. An
    // unknown number costs the same hash, so it cannot be told from a wrong password.
    std::optional<std::chrono::seconds> wait;
    const std::optional<bool> right = throttle_.hashing([&] {
        if ((wait = throttle_.wait(number, address)))
            return false;
        return user ? Credentials::VerifyPassword(hash, password)
                    : (Credentials::VerifyPassword(Credentials::DummyHash(), password), false);
    });
    if (!right)
        throw Refusal(503, "로그인하려는 사람이 많아 지금은 확인할 수 없습니다. 잠시 뒤에 다시 시도하십시오.");
    if (wait)
        throw throttled(*wait);
    if (!*right) {
        throttle_.failed(number, address);
        return std::nullopt;
    }
    throttle_.succeeded(number, address);
    return user;
}

Session Accounts::openSession(const User& user)
{
    Session session{Credentials::NewToken(), user, Credentials::NewToken()};
    const std::lock_guard lock(mutex_);
    Transaction transaction(db_);
    db_.prepare("DELETE FROM sessions WHERE expires_at <= ?").bind(1, now()).run();
    db_.prepare("INSERT INTO sessions (digest, role, person_no, csrf, expires_at) VALUES (?, ?, ?, ?, ?)")
        .bind(1, Credentials::TokenDigest(session.id))
        .bind(2, std::string(roleName(user.role)))
        .bind(3, user.number)
        .bind(4, session.csrf)
        .bind(5, now() + std::chrono::seconds(kSessionLife).count())
        .run();
    transaction.commit();
    return session;
}

std::optional<Session> Accounts::session(const std::string& id)
{
    if (id.empty())
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    Statement row = db_.prepare("SELECT role, person_no, csrf FROM sessions WHERE digest = ? AND expires_at > ?");
    if (!row.bind(1, Credentials::TokenDigest(id)).bind(2, now()).step())
        return std::nullopt;
    return Session{id, User{roleOf(row.text(0)), row.text(1)}, row.text(2)};
}

void Accounts::closeSession(const std::string& id)
{
    const std::string digest = Credentials::TokenDigest(id);
    const std::lock_guard lock(mutex_);
    Transaction transaction(db_);
    db_.prepare("DELETE FROM sessions WHERE digest = ?").bind(1, digest).run();
    db_.prepare("DELETE FROM launch_tokens WHERE session = ?").bind(1, digest).run();
    transaction.commit();
}

std::string Accounts::issueToken(const User& user, Grant grant, const std::string& lectureKey,
                                 const std::string& sessionId)
{
    const std::string token = Credentials::NewToken();
    const std::lock_guard lock(mutex_);
    Transaction transaction(db_);
    db_.prepare("DELETE FROM launch_tokens WHERE expires_at <= ?").bind(1, now()).run();
    db_.prepare("INSERT INTO launch_tokens (digest, grant_kind, role, person_no, lecture_key, session, issued_at, "
                "expires_at, used, new_essay) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                "(SELECT coalesce(max(used), 0) + 1 FROM launch_tokens), ?9)")
        .bind(1, Credentials::TokenDigest(token))
        .bind(2, std::string(grantName(grant)))
        .bind(3, std::string(roleName(user.role)))
        .bind(4, user.number)
        .bind(5, lectureKey)
        .bind(6, sessionId.empty() ? std::string() : Credentials::TokenDigest(sessionId))
        .bind(7, now())
        .bind(8, now() + std::chrono::seconds(kTokenStart).count())
        .bind(9, std::int64_t(lectureKey.empty()))
        .run();
    // A person holds a bounded number of live tokens: the least recently used give way.
    db_.prepare("DELETE FROM launch_tokens WHERE person_no = ?1 AND role = ?2 AND digest NOT IN "
                "(SELECT digest FROM launch_tokens WHERE person_no = ?1 AND role = ?2 "
                "ORDER BY used DESC LIMIT ?3)")
        .bind(1, user.number)
        .bind(2, std::string(roleName(user.role)))
        .bind(3, std::int64_t(kTokensPerUser))
        .run();
    transaction.commit();
    return token;
}

std::optional<User> Accounts::useToken(const std::string& token, std::optional<Grant> grant,
                                       const std::string& lectureKey)
{
    if (token.size() != 64)
        return std::nullopt;
    const std::string digest = Credentials::TokenDigest(token);
    const std::lock_guard lock(mutex_);
    std::optional<User> user;
    std::int64_t expires = 0;
    {
        // A new essay's token also answers for a first save sent again after it was bound.
        Statement row = db_.prepare("SELECT role, person_no, grant_kind, expires_at FROM launch_tokens "
                                    "WHERE digest = ?1 AND (lecture_key = ?2 OR (?2 = '' AND new_essay = 1)) "
                                    "AND expires_at > ?3");
        if (!row.bind(1, digest).bind(2, lectureKey).bind(3, now()).step())
            return std::nullopt;
        if (grant && row.text(2) != grantName(*grant))
            return std::nullopt;
        user = User{roleOf(row.text(0)), row.text(1)};
        expires = row.number(3);
    }
    // Renewed at most once a minute: a run saving often does not queue a write behind every
    // save's commit. The renewal is its own statement, never a read turned into a write.
    const std::int64_t renewed = now() + std::chrono::seconds(kTokenIdle).count();
    if (expires < renewed - 60)
        db_.prepare("UPDATE launch_tokens SET expires_at = ?, used = (SELECT max(used) + 1 FROM launch_tokens) "
                    "WHERE digest = ?")
            .bind(1, renewed)
            .bind(2, digest)
            .run();
    return user;
}

void Accounts::bindToken(const std::string& token, const std::string& lectureKey)
{
    const std::lock_guard lock(mutex_);
    db_.prepare("UPDATE launch_tokens SET lecture_key = ? WHERE digest = ? AND lecture_key = ''")
        .bind(1, lectureKey)
        .bind(2, Credentials::TokenDigest(token))
        .run();
}

std::optional<std::string> Accounts::openedLecture(const std::string& token)
{
    const std::lock_guard lock(mutex_);
    Statement row =
        db_.prepare("SELECT lecture_key FROM launch_tokens WHERE digest = ? AND new_essay = 1 AND lecture_key <> ''");
    if (!row.bind(1, Credentials::TokenDigest(token)).step())
        return std::nullopt;
    return row.text(0);
}
