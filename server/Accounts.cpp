#include "Accounts.h"

#include "Credentials.h"

#include <ctime>

namespace {

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

Accounts::Accounts(CourseStore& store) : engine_(store.engine()), throttle_(store.engine())
{
}

std::optional<User> Accounts::signIn(const std::string& number, const std::string& password, const std::string& address)
{
    if (const auto wait = throttle_.wait(number, address))
        throw throttled(*wait);
    std::optional<User> user;
    std::string hash;
    engine_.read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT 'teacher', password_hash FROM teachers WHERE teacher_no = $1 "
                     "UNION ALL SELECT 'student', password_hash FROM students WHERE student_no = $1",
                     {number});
        if (!rows.empty()) {
            user = User{roleOf(rows.front().text(0)), number};
            hash = rows.front().text(1);
        }
    });
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
    engine_.writeLazily([&](SqlConnection& db) {
        db.run("DELETE FROM sessions WHERE expires_at <= $1", {now()});
        db.run("INSERT INTO sessions (digest, role, person_no, csrf, expires_at) VALUES ($1, $2, $3, $4, $5)",
               {Credentials::TokenDigest(session.id), roleName(user.role), user.number, session.csrf,
                now() + std::chrono::seconds(kSessionLife).count()});
    });
    return session;
}

std::optional<Session> Accounts::session(const std::string& id)
{
    if (id.empty())
        return std::nullopt;
    std::optional<Session> found;
    engine_.read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT role, person_no, csrf FROM sessions WHERE digest = $1 AND expires_at > $2",
                     {Credentials::TokenDigest(id), now()});
        if (!rows.empty())
            found = Session{id, User{roleOf(rows.front().text(0)), rows.front().text(1)}, rows.front().text(2)};
    });
    return found;
}

void Accounts::closeSession(const std::string& id)
{
    const std::string digest = Credentials::TokenDigest(id);
    engine_.writeLazily([&](SqlConnection& db) {
        db.run("DELETE FROM sessions WHERE digest = $1", {digest});
        db.run("DELETE FROM launch_tokens WHERE session = $1", {digest});
    });
}

std::string Accounts::issueToken(const User& user, Grant grant, const std::string& lectureKey,
                                 const std::string& sessionId)
{
    return issue(user, grant, lectureKey, sessionId.empty() ? std::string() : Credentials::TokenDigest(sessionId));
}

std::string Accounts::passOnToken(const std::string& token, Grant grant, const std::string& lectureKey)
{
    std::optional<User> user;
    std::string session;
    engine_.read([&](SqlConnection& db) {
        const std::vector<SqlRow> rows =
            db.query("SELECT role, person_no, session FROM launch_tokens WHERE digest = $1 AND expires_at > $2",
                     {Credentials::TokenDigest(token), now()});
        if (rows.empty())
            return;
        user = User{roleOf(rows.front().text(0)), rows.front().text(1)};
        session = rows.front().text(2);
    });
    if (!user)
        throw Refusal(401, "이 실행의 인증이 끝났습니다. 강의 목록에서 다시 여십시오.");
    return issue(*user, grant, lectureKey, session);
}

std::string Accounts::issue(const User& user, Grant grant, const std::string& lectureKey,
                            const std::string& sessionDigest)
{
    const std::string token = Credentials::NewToken();
    const std::string role = roleName(user.role);
    engine_.writeLazily([&](SqlConnection& db) {
        db.run("DELETE FROM launch_tokens WHERE expires_at <= $1", {now()});
        db.run("INSERT INTO launch_tokens (digest, grant_kind, role, person_no, lecture_key, session, issued_at, "
               "expires_at, used, new_essay) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, "
               "(SELECT coalesce(max(used), 0) + 1 FROM launch_tokens), $9)",
               {Credentials::TokenDigest(token), grantName(grant), role, user.number, lectureKey, sessionDigest, now(),
                now() + std::chrono::seconds(kTokenStart).count(), std::int64_t(lectureKey.empty())});
        // A person holds a bounded number of live tokens: the least recently used give way.
        db.run("DELETE FROM launch_tokens WHERE person_no = $1 AND role = $2 AND digest NOT IN "
               "(SELECT digest FROM launch_tokens WHERE person_no = $1 AND role = $2 "
               "ORDER BY used DESC LIMIT $3)",
               {user.number, role, std::int64_t(kTokensPerUser)});
    });
    return token;
}

std::optional<User> Accounts::useToken(const std::string& token, std::optional<Grant> grant,
                                       const std::string& lectureKey)
{
    if (token.size() != 64)
        return std::nullopt;
    const std::string digest = Credentials::TokenDigest(token);
    std::optional<User> user;
    std::int64_t expires = 0;
    engine_.read([&](SqlConnection& db) {
        // A new essay's token also answers for a first save sent again after it was bound.
        const std::vector<SqlRow> rows =
            db.query("SELECT role, person_no, grant_kind, expires_at FROM launch_tokens "
                     "WHERE digest = $1 AND (lecture_key = $2 OR ($2 = '' AND new_essay = 1)) "
                     "AND expires_at > $3",
                     {digest, lectureKey, now()});
        if (rows.empty() || (grant && rows.front().text(2) != grantName(*grant)))
            return;
        user = User{roleOf(rows.front().text(0)), rows.front().text(1)};
        expires = rows.front().number(3);
    });
    // Renewed at most once a minute: a run saving often does not queue a write behind every
    // save's commit. The renewal is its own statement, never a read turned into a write.
    const std::int64_t renewed = now() + std::chrono::seconds(kTokenIdle).count();
    if (user && expires < renewed - 60)
        engine_.writeLazily([&](SqlConnection& db) {
            db.run("UPDATE launch_tokens SET expires_at = $1, used = (SELECT max(used) + 1 FROM launch_tokens) "
                   "WHERE digest = $2",
                   {renewed, digest});
        });
    return user;
}
