#include "RequestGate.h"

#include <sodium.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The host part of a Host header or an address's authority: no port, brackets kept.
std::string hostPart(const std::string& authority)
{
    if (!authority.empty() && authority.front() == '[')
        return lower(authority.substr(0, authority.find(']') + 1));
    return lower(authority.substr(0, authority.find(':')));
}

std::string authorityOf(const std::string& url)
{
    const auto start = url.find("://");
    if (start == std::string::npos)
        return {};
    return url.substr(start + 3, url.find('/', start + 3) - start - 3);
}

bool plainAuthority(const std::string& host)
{
    if (host.empty() || host.size() > 255)
        return false;
    return std::all_of(host.begin(), host.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    });
}

// The announced body size; an unreadable one counts as too large.
std::uint64_t announcedLength(const std::string& value)
{
    if (value.empty())
        return 0;
    if (value.size() > 19 || !std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c); }))
        return UINT64_MAX;
    return std::stoull(value);
}

std::string cookieValue(const std::string& header, const std::string& name)
{
    size_t at = 0;
    while (at < header.size()) {
        const size_t end = std::min(header.find(';', at), header.size());
        std::string pair = header.substr(at, end - at);
        pair.erase(0, pair.find_first_not_of(' '));
        if (pair.rfind(name + "=", 0) == 0)
            return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

}

RequestGate::RequestGate(Accounts& accounts, const ServerOptions& options, std::string listenHost, bool tls)
    : accounts_(accounts), options_(options), tls_(tls)
{
    names_ = {"localhost", "127.0.0.1", "[::1]"};
    if (listenHost != "0.0.0.0" && listenHost != "::" && !listenHost.empty())
        names_.push_back(hostPart(listenHost.find(':') != std::string::npos && listenHost.front() != '['
                                      ? "[" + listenHost + "]"
                                      : listenHost));
    for (const std::string& name : options_.names)
        names_.push_back(lower(name));
    if (!options_.publicUrl.empty())
        names_.push_back(hostPart(authorityOf(options_.publicUrl)));
}

std::string RequestGate::scheme() const
{
    if (!options_.publicUrl.empty())
        return options_.publicUrl.substr(0, options_.publicUrl.find("://"));
    return tls_ ? "https" : "http";
}

bool RequestGate::knownHost(const std::string& hostHeader) const
{
    return plainAuthority(hostHeader) && std::find(names_.begin(), names_.end(), hostPart(hostHeader)) != names_.end();
}

std::string RequestGate::base(const HttpRequest& req) const
{
    if (!options_.publicUrl.empty())
        return options_.publicUrl;
    return scheme() + "://" + req.header("Host");
}

bool RequestGate::sameSite(const HttpRequest& req) const
{
    const std::string own = scheme() + "://" + lower(req.header("Host"));
    if (req.hasHeader("Origin"))
        return lower(req.header("Origin")) == own;
    if (req.hasHeader("Referer")) {
        const std::string referer = lower(req.header("Referer"));
        return referer == own || referer.rfind(own + "/", 0) == 0;
    }
    return true;
}

std::optional<int> RequestGate::refuseEarly(const HttpRequest& req) const
{
    if (!knownHost(req.header("Host")))
        return 421;
    if (req.hasHeader("Transfer-Encoding"))
        return 411;
    if (announcedLength(req.header("Content-Length")) > options_.limits.maxBody)
        return 413;
    if (req.method != "GET" && req.method != "HEAD" && !sameSite(req))
        return 403;
    return std::nullopt;
}

std::optional<Visitor> RequestGate::visitor(const HttpRequest& req) const
{
    const std::string id = cookieValue(req.header("Cookie"), kSessionCookie);
    if (const std::optional<Session> session = accounts_.session(id))
        return Visitor{session->user, session->id, session->csrf};

    const std::string authorization = req.header("Authorization");
    if (authorization.rfind("Basic ", 0) != 0)
        return std::nullopt;
    const std::string encoded = authorization.substr(6);
    std::string decoded(encoded.size(), '\0');
    size_t size = 0;
    if (encoded.size() > 1024
        || sodium_base642bin(reinterpret_cast<unsigned char*>(decoded.data()), decoded.size(), encoded.data(),
                             encoded.size(), nullptr, &size, nullptr, sodium_base64_VARIANT_ORIGINAL)
               != 0)
        return std::nullopt;
    decoded.resize(size);
    const auto colon = decoded.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const std::optional<User> user =
        accounts_.signIn(decoded.substr(0, colon), decoded.substr(colon + 1), req.remoteAddress);
    if (!user)
        return std::nullopt;
    return Visitor{*user, {}, {}};
}

bool RequestGate::formTokenMatches(const Visitor& visitor, const std::string& token)
{
    return visitor.sessionId.empty()
           || (token.size() == visitor.csrf.size()
               && sodium_memcmp(token.data(), visitor.csrf.data(), token.size()) == 0);
}

std::string RequestGate::sessionCookie(const std::string& id) const
{
    return std::string(kSessionCookie) + "=" + id + "; Path=/; HttpOnly; SameSite=Strict"
           + (scheme() == "https" ? "; Secure" : "");
}

std::string RequestGate::clearedCookie() const
{
    return std::string(kSessionCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0";
}
