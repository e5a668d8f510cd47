#include "CourseServer.h"

#include "ApiRequest.h"
#include "BankHandlers.h"
#include "CourseHandlers.h"
#include "HttpServer.h"
#include "RequestGate.h"
#include "StatsHandlers.h"
#include "TeacherQueue.h"

#include <regex>
#include <vector>

namespace {

using Handler = HttpResponse (*)(const CourseSite&, const HttpRequest&);

struct Route {
    const char* method;
    std::regex path;
    Handler handler;
};

const char* kKey = "([0-9A-Za-z]{1,64})";

const std::pair<const char*, const char*> kSecurityHeaders[] = {
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Content-Security-Policy", "default-src 'none'; img-src 'self'; style-src 'unsafe-inline'; "
                                "form-action 'self'; frame-ancestors 'none'; base-uri 'none'"},
    {"Referrer-Policy", "same-origin"},
    {"Cache-Control", "no-store"},
};

}

struct CourseServer::Routes {
    std::vector<Route> table;
};

CourseServer::CourseServer(CourseStore& store, Accounts& accounts, const ServerOptions& options)
    : store_(store), accounts_(accounts), options_(options), routes_(std::make_unique<Routes>())
{
    const std::string key = kKey;
    routes_->table = {
        {"POST", std::regex("/clientif"), HandleClientIfPost},
        {"GET", std::regex("/(essay|correction|thumbnail)/" + key), HandleRecord},
        {"GET", std::regex("/discussion/" + key), HandleDiscussion},
        {"GET", std::regex("/login"), HandleLoginForm},
        {"POST", std::regex("/login"), HandleLogin},
        {"POST", std::regex("/logout"), HandleLogout},
        {"GET", std::regex("/"), HandleCoursePage},
        // Browsers ask for /favicon.ico on pages that name no icon (a thumbnail shown alone).
        {"GET", std::regex("/(icon\\.svg|favicon\\.ico)"), HandleIcon},
        {"POST", std::regex("/scan/" + key), HandleScan},
        {"GET", std::regex("/launch/(S001|T001|C001)/" + key + "\\.dzl"), HandleLaunch},
        {"GET", std::regex("/launch/new/" + key + "\\.dzl"), HandleNewEssayLaunch},
        {"GET", std::regex("/api/bank/" + key), HandleBank},
        {"POST", std::regex("/api/bank/" + key), HandleBank},
        {"GET", std::regex("/api/stats/" + key), HandleStudentStats},
        {"GET", std::regex("/api/classstats/" + key), HandleClassStats},
        {"GET", std::regex("/stats/class\\.csv"), HandleClassStatsCsv},
        {"GET", std::regex("/api/queue/" + key), HandleQueue},
        {"POST", std::regex("/api/queue/" + key), HandleQueueMove},
    };

    auto screen = [this](const HttpRequest& req) -> std::optional<HttpResponse> {
        const std::optional<int> refusal = gate_->refuseEarly(req);
        if (!refusal)
            return std::nullopt;
        return FailureAnswer(req, *refusal);
    };
    auto handle = [this](HttpRequest& req) {
        const CourseSite site{store_, accounts_, *gate_};
        HttpResponse res;
        try {
            res = route(site, req);
        } catch (const Refusal& refusal) {
            if (req.path.rfind(kApiPrefix, 0) == 0) {
                res = JsonRefusal(refusal.status(), refusal.what());
            } else {
                res.status = refusal.status();
                res.setContent(std::to_string(refusal.status()) + " " + refusal.what(), "text/plain; charset=utf-8");
            }
        }
        return res.status >= 400 && res.body.empty() ? FailureAnswer(req, res.status) : res;
    };
    server_ = std::make_unique<HttpServer>(options_.limits, options_.trustedProxy, screen, handle, FailureAnswer);
    if (!options_.tlsCert.empty() || !options_.tlsKey.empty())
        server_->useTls(options_.tlsCert, options_.tlsKey);
    for (const auto& [name, value] : kSecurityHeaders)
        server_->addHeader(name, value);
}

CourseServer::~CourseServer() = default;

HttpResponse CourseServer::route(const CourseSite& site, HttpRequest& req) const
{
    std::smatch match;
    for (const Route& route : routes_->table) {
        if ((req.method != route.method && !(req.method == "HEAD" && std::string(route.method) == "GET"))
            || !std::regex_match(req.path, match, route.path))
            continue;
        req.matches.assign(match.begin() + 1, match.end());
        return route.handler(site, req);
    }
    HttpResponse res;
    res.status = 404;
    return res;
}

int CourseServer::bind(const std::string& host, int port)
{
    gate_ = std::make_unique<RequestGate>(accounts_, options_, host, server_->servesTls());
    if (gate_->secure())
        server_->addHeader("Strict-Transport-Security", "max-age=31536000");
    return server_->bind(host, port);
}

void CourseServer::run()
{
    server_->run();
}

void CourseServer::stop()
{
    server_->stop();
}
