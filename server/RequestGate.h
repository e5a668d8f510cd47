#pragma once

#include "Accounts.h"
#include "HttpExchange.h"
#include "ServerOptions.h"

#include <optional>
#include <string>

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

    // The refusal of a request before its body is read: an unknown host, a chunked body, a
    // body over the limit, a cross-site post. Nothing when the request may go on.
    std::optional<int> refuseEarly(const HttpRequest& req) const;

    // "scheme://host[:port]", where launch files send the client.
    std::string base(const HttpRequest& req) const;
    // A post from a page of this server, or from no page at all (a script or the client).
    bool sameSite(const HttpRequest& req) const;

    // The signed-in visitor: session cookie or HTTP Basic. Raises Refusal (429) while
    // wrong passwords are throttled.
    std::optional<Visitor> visitor(const HttpRequest& req) const;
    // A form posted by a session must carry the session's token; HTTP Basic needs none.
    static bool formTokenMatches(const Visitor& visitor, const std::string& token);

    std::string sessionCookie(const std::string& id) const;
    std::string clearedCookie() const;
    // Served as HTTPS, here or by a proxy in front.
    bool secure() const { return scheme() == "https"; }

private:
    bool knownHost(const std::string& hostHeader) const;
    std::string scheme() const;

    Accounts& accounts_;
    ServerOptions options_;
    std::vector<std::string> names_;
    bool tls_;
};
