#include "CourseServer.h"

#include "ClientIf.h"
#include "CoursePage.h"
#include "GuardedServer.h"
#include "LaunchFile.h"
#include "RequestGate.h"
#include "ScannedEssay.h"

#include <cstdio>
#include <sys/socket.h>

namespace {

const char* kReplyType = "text/plain; charset=euc-kr";
const char* kKey = "([0-9A-Za-z]{1,64})";
const char* kHtmlType = "text/html; charset=utf-8";
const char* kTextType = "text/plain; charset=utf-8";

void sendReply(httplib::Response& res, const ClientReply& reply)
{
    res.set_content(reply.bytes(), kReplyType);
}

FormParts formParts(const httplib::Request& req)
{
    FormParts parts;
    for (const auto& [name, file] : req.files)
        parts.emplace(name, FormPart{file.content, file.filename, file.content_type});
    return parts;
}

bool owns(const User& user, const Lecture& lecture)
{
    return user.number == (user.role == Role::Student ? lecture.student.number : lecture.teacher.number);
}

// Browsers are sent to the sign-in form; scripts and the client get a Basic challenge.
void askToSignIn(const httplib::Request& req, httplib::Response& res)
{
    if (req.get_header_value("Accept").find("text/html") != std::string::npos) {
        res.set_redirect("/login", 303);
        return;
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"course\", charset=\"UTF-8\"");
    res.set_content("401 로그인이 필요합니다.", kTextType);
}

const httplib::Headers kSecurityHeaders{
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Content-Security-Policy", "default-src 'none'; img-src 'self'; style-src 'unsafe-inline'; "
                                "form-action 'self'; frame-ancestors 'none'; base-uri 'none'"},
    {"Referrer-Policy", "same-origin"},
    {"Cache-Control", "no-store"},
};

}

CourseServer::CourseServer(CourseStore& store, Accounts& accounts, const ServerOptions& options)
    : store_(store), accounts_(accounts), options_(options), server_(std::make_unique<GuardedServer>(options.limits))
{
    if (!options_.tlsCert.empty() || !options_.tlsKey.empty())
        server_->useTls(options_.tlsCert, options_.tlsKey);
    server_->new_task_queue = [] { return new httplib::ThreadPool(16); };
    server_->set_payload_max_length(options_.limits.maxBody);
    // Headers and body go out as separate writes; without this each reply waits for an ACK.
    server_->set_tcp_nodelay(true);
    server_->set_default_headers(kSecurityHeaders);
    server_->set_socket_options([this](int socket) {
        listener_ = socket;
        const int on = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    routes();
    pages();
}

CourseServer::~CourseServer() = default;

int CourseServer::bind(const std::string& host, int port)
{
    gate_ = std::make_unique<RequestGate>(accounts_, options_, host, server_->servesTls());
    const int bound = port == 0 ? server_->bind_to_any_port(host) : (server_->bind_to_port(host, port) ? port : -1);
    // The library listens with a backlog of 5: a burst of clients connecting at once would
    // see resets. Listening again on the bound socket widens the queue.
    if (bound > 0 && listener_ >= 0)
        ::listen(listener_, SOMAXCONN);
    return bound;
}

void CourseServer::run()
{
    server_->listen_after_bind();
}

void CourseServer::stop()
{
    server_->stopServing();
}

void CourseServer::routes()
{
    server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        return gate_->refuseEarly(req, res) ? httplib::Server::HandlerResponse::Handled
                                            : httplib::Server::HandlerResponse::Unhandled;
    });

    server_->Post("/clientif", [this](const httplib::Request& req, httplib::Response& res) {
        if (!req.is_multipart_form_data()) {
            sendReply(res, {400, "multipart/form-data 양식으로 보내야 합니다.", {}});
            return;
        }
        sendReply(res, HandleClientIf(store_, accounts_, formParts(req), req.remote_addr));
    });

    // A lecture's address answers to the launch token of a run on it (`t`), or to its
    // signed-in student or teacher; to anyone else as if the lecture did not exist.
    auto lectureFor = [this](const httplib::Request& req, httplib::Response& res) -> std::optional<Lecture> {
        const std::string key = req.matches[1];
        if (req.has_param("t")) {
            if (accounts_.useToken(req.get_param_value("t"), std::nullopt, key))
                return store_.lecture(key);
            return std::nullopt;
        }
        const std::optional<Visitor> visitor = gate_->visitor(req);
        if (!visitor) {
            askToSignIn(req, res);
            return std::nullopt;
        }
        std::optional<Lecture> lecture = store_.lecture(key);
        return lecture && owns(visitor->user, *lecture) ? lecture : std::nullopt;
    };
    auto record = [this, lectureFor](const char* path,
                                     std::optional<std::string> (CourseStore::*read)(const std::string&),
                                     const char* type) {
        server_->Get(std::string(path) + kKey,
                     [this, lectureFor, read, type](const httplib::Request& req, httplib::Response& res) {
                         const std::optional<Lecture> lecture = lectureFor(req, res);
                         const std::optional<std::string> bytes = lecture ? (store_.*read)(lecture->key) : std::nullopt;
                         if (bytes)
                             res.set_content(*bytes, type);
                         else if (res.status == -1)
                             res.status = 404;
                     });
    };
    record("/essay/", &CourseStore::essay, "application/octet-stream");
    record("/correction/", &CourseStore::correction, "application/octet-stream");
    record("/thumbnail/", &CourseStore::thumbnail, "image/jpeg");

    server_->Get(std::string("/discussion/") + kKey, [lectureFor](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Lecture> lecture = lectureFor(req, res);
        if (lecture && !lecture->discussion.empty())
            res.set_content(DiscussionPage(*lecture), kHtmlType);
        else if (res.status == -1)
            res.status = 404;
    });

    server_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty())
            return;
        const bool clientIf = req.path == "/clientif";
        std::string why;
        switch (res.status) {
        case 403:
            why = "다른 사이트에서 보낸 요청은 받지 않습니다.";
            break;
        case 411:
            why = "크기를 미리 알리지 않은(chunked) 자료는 받지 않습니다.";
            break;
        case 413:
            why = clientIf ? "보낸 자료가 너무 커서 받을 수 없습니다." : "올린 파일이 너무 커서 받을 수 없습니다.";
            break;
        case 421:
            why = "이 서버의 주소가 아닌 이름으로 요청했습니다.";
            break;
        case 404:
            why = "찾는 자료가 없습니다.";
            break;
        default:
            why = clientIf ? "보낸 양식을 읽을 수 없습니다." : "요청을 처리하지 못했습니다.";
        }
        if (clientIf)
            sendReply(res, {res.status, why, {}});
        else if (req.path.rfind("/scan/", 0) == 0)
            res.set_content(MessagePage("스캔한 답안을 받지 못했습니다", why), kHtmlType);
        else
            res.set_content(std::to_string(res.status) + " " + why, kTextType);
    });
    server_->set_exception_handler([](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const Refusal& refusal) {
            res.status = refusal.status();
            res.set_content(std::to_string(refusal.status()) + " " + refusal.what(), kTextType);
            return;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "course-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(), e.what());
        } catch (...) {
            std::fprintf(stderr, "course-server: %s %s failed\n", req.method.c_str(), req.path.c_str());
        }
        res.status = 500;
        sendReply(res, {500, "서버 내부 오류로 처리하지 못했습니다. 잠시 후 다시 시도하십시오.", {}});
    });
}

void CourseServer::pages()
{
    server_->Get("/login",
                 [](const httplib::Request&, httplib::Response& res) { res.set_content(LoginPage({}), kHtmlType); });
    server_->Post("/login", [this](const httplib::Request& req, httplib::Response& res) {
        std::optional<User> user;
        try {
            user = accounts_.signIn(req.get_param_value("number"), req.get_param_value("password"), req.remote_addr);
        } catch (const Refusal& refusal) {
            res.status = refusal.status();
            res.set_content(LoginPage(refusal.what()), kHtmlType);
            return;
        }
        if (!user) {
            res.status = 401;
            res.set_content(LoginPage("번호나 비밀번호가 맞지 않습니다."), kHtmlType);
            return;
        }
        res.set_header("Set-Cookie", gate_->sessionCookie(accounts_.openSession(*user).id));
        res.set_redirect("/", 303);
    });
    server_->Post("/logout", [this](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Visitor> visitor = gate_->visitor(req);
        if (visitor && !visitor->sessionId.empty()) {
            if (!RequestGate::formTokenMatches(*visitor, req.get_param_value("csrf"))) {
                res.status = 403;
                return;
            }
            accounts_.closeSession(visitor->sessionId);
        }
        res.set_header("Set-Cookie", gate_->clearedCookie());
        res.set_redirect("/login", 303);
    });

    server_->Get("/", [this](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Visitor> visitor = gate_->visitor(req);
        if (!visitor)
            return askToSignIn(req, res);
        res.set_content(CoursePage(visitor->user, store_.lecturesOf(visitor->user), visitor->csrf), kHtmlType);
    });

    server_->Post(std::string("/scan/") + kKey, [this](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Visitor> visitor = gate_->visitor(req);
        if (!visitor)
            return askToSignIn(req, res);
        const std::string key = req.matches[1];
        const auto token = req.files.find("csrf");
        const std::optional<Lecture> lecture = store_.lecture(key);
        try {
            if (!RequestGate::formTokenMatches(*visitor, token == req.files.end() ? "" : token->second.content))
                throw Refusal(403, "강의 목록에서 다시 올려 주십시오 (양식이 오래되었습니다).");
            if (!lecture || !owns(visitor->user, *lecture))
                throw Refusal(404, "강의 " + key + "을(를) 찾을 수 없습니다.");
            std::vector<ScannedPage> pages;
            const auto [begin, end] = req.files.equal_range("page");
            for (auto it = begin; it != end; ++it)
                // A file field left empty still arrives, without name or content.
                if (!it->second.filename.empty() || !it->second.content.empty())
                    pages.push_back({it->second.filename, it->second.content});
            SaveScannedEssay(store_, key, pages);
            res.set_content(
                MessagePage("스캔한 답안을 저장했습니다",
                            "강의 " + key + "에 " + std::to_string(pages.size()) + "쪽짜리 스캔 답안을 저장했습니다."),
                kHtmlType);
        } catch (const Refusal& refusal) {
            res.status = refusal.status();
            res.set_content(MessagePage("스캔한 답안을 받지 못했습니다", refusal.what()), kHtmlType);
        }
    });

    auto handOut = [](httplib::Response& res, const std::string& name, const std::string& bytes) {
        res.set_header("Content-Disposition", "attachment; filename=\"" + name + kLaunchExtension + "\"");
        res.set_content(bytes, kLaunchMimeType);
    };
    server_->Get(std::string("/launch/(S001|T001|C001)/") + kKey + "\\.dzl",
                 [this, handOut](const httplib::Request& req, httplib::Response& res) {
                     const std::optional<Visitor> visitor = gate_->visitor(req);
                     if (!visitor)
                         return askToSignIn(req, res);
                     const std::string mode = req.matches[1];
                     const std::optional<Lecture> lecture = store_.lecture(req.matches[2]);
                     const Role role = visitor->user.role;
                     const bool fits = mode == "C001" || (mode == "S001") == (role == Role::Student);
                     if (!lecture || !owns(visitor->user, *lecture) || !fits) {
                         res.status = 404;
                         return;
                     }
                     const Grant grant = mode == "C001" ? Grant::View : mode == "S001" ? Grant::Write : Grant::Correct;
                     const std::string token =
                         accounts_.issueToken(visitor->user, grant, lecture->key, visitor->sessionId);
                     const std::string base = gate_->base(req);
                     const std::string bytes = mode == "S001"   ? StudentLaunch(*lecture, token, base)
                                               : mode == "T001" ? TeacherLaunch(*lecture, token, base)
                                                                : ViewLaunch(*lecture, token, base);
                     handOut(res, mode + "-" + lecture->key, bytes);
                 });
    server_->Get(std::string("/launch/new/") + kKey + "\\.dzl", [this, handOut](const httplib::Request& req,
                                                                                httplib::Response& res) {
        const std::optional<Visitor> visitor = gate_->visitor(req);
        if (!visitor)
            return askToSignIn(req, res);
        const std::optional<Person> student = store_.student(req.matches[1]);
        if (!student || visitor->user.role != Role::Student || visitor->user.number != student->number) {
            res.status = 404;
            return;
        }
        handOut(res, "S001-new-" + student->number,
                NewEssayLaunch(*student, accounts_.issueToken(visitor->user, Grant::Write, {}, visitor->sessionId)));
    });
}
