#pragma once

#include "Accounts.h"
#include "ServerOptions.h"

#include <optional>
#include <string>

namespace httplib {
struct Request;
struct Response;
}

// Who is asking: a browser session (with its form token) or HTTP Basic.
struct Visitor {
    User user;
    std::string sessionId;  // empty for HTTP Basic
    std::string csrf;
};

// The checks every request passes before its handler: the host it names, the body it
// announces, the site it comes from, and who sent it.
class RequestGate {
public:
    static constexpr const char* kSessionCookie = "dz_session";

    RequestGate(Accounts& accounts, const ServerOptions& options, std::string listenHost, bool tls);

    // Answers and returns true when the request is refused before its body is read: an
    // unknown host, a chunked body, a body over the limit, a cross-site post.
    bool refuseEarly(const httplib::Request& req, httplib::Response& res) const;

    // "scheme://host[:port]", where launch files send the client.
    std::string base(const httplib::Request& req) const;
    // A post from a page of this server, or from no page at all (a script or the client).
    bool sameSite(const httplib::Request& req) const;

    // The signed-in visitor: session cookie or HTTP Basic. Raises Refusal (429) while
    // wrong passwords are throttled.
    std::optional<Visitor> visitor(const httplib::Request& req) const;
    // A form posted by a session must carry the session's token; HTTP Basic needs none.
    static bool formTokenMatches(const Visitor& visitor, const std::string& token);

    std::string sessionCookie(const std::string& id) const;
    std::string clearedCookie() const;

private:
    bool knownHost(const std::string& hostHeader) const;
    std::string scheme() const;

    Accounts& accounts_;
    ServerOptions options_;
    std::vector<std::string> names_;
    bool tls_;
};
