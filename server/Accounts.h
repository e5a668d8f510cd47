#pragma once

#include "CourseStore.h"
#include "LoginThrottle.h"

#include <chrono>
#include <optional>
#include <string>

// What a launch token lets its run do, on one lecture.
enum class Grant { Write, Correct, View };

struct Session {
    std::string id;
    User user;
    std::string csrf;
};

// Who may do what: password sign-in (throttled), browser sessions, and launch tokens, kept
// in the course's store beside the lectures, so that any instance of the server answers
// for what another handed out.
//
// A launch token is bound to one person, one grant and one lecture (none yet for a new
// essay: the first save binds it). It must be used within kTokenStart of being handed out;
// every use keeps it alive for kTokenIdle more. Signing out revokes the session's tokens.
// A person holds kTokensPerUser tokens at most: a new one puts out the least recently used
// (uses within a minute of the last renewal count as that one).
class Accounts {
public:
    static constexpr std::chrono::minutes kTokenStart{15};
    static constexpr std::chrono::hours kTokenIdle{8};
    static constexpr std::chrono::hours kSessionLife{8};
    static constexpr int kTokensPerUser = 20;

    explicit Accounts(CourseStore& store);

    // The person with that number and password; nothing when either is wrong. Raises
    // Refusal (429) while wrong passwords hold back this number from this address, and
    // (503) while too many sign-ins wait for a password check already.
    std::optional<User> signIn(const std::string& number, const std::string& password, const std::string& address);

    Session openSession(const User& user);
    std::optional<Session> session(const std::string& id);
    // Ends the session and revokes every launch token handed out in it.
    void closeSession(const std::string& id);

    // `sessionId` may be empty (a script signed in with HTTP Basic).
    std::string issueToken(const User& user, Grant grant, const std::string& lectureKey, const std::string& sessionId);
    // The holder of a live token for the lecture ("" for a new essay's first save, also once
    // it is bound), with that grant when one is asked for; renews the token.
    std::optional<User> useToken(const std::string& token, std::optional<Grant> grant, const std::string& lectureKey);
    // A token for another lecture, handed to the holder of `token` (a live one) with the same
    // person and sign-in session, so signing out revokes it with the first.
    std::string passOnToken(const std::string& token, Grant grant, const std::string& lectureKey);

private:
    std::string issue(const User& user, Grant grant, const std::string& lectureKey, const std::string& sessionDigest);

    StoreEngine& engine_;
    LoginThrottle throttle_;
};
