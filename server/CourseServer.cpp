#include "CourseServer.h"

#include "ClientIf.h"
#include "CoursePage.h"
#include "LaunchFile.h"
#include "ScannedEssay.h"

#include <httplib.h>

#include <cctype>
#include <cstdio>
#include <sys/socket.h>

namespace {

const char* kReplyType = "text/plain; charset=euc-kr";
const char* kKey = "([0-9A-Za-z]{1,64})";
const char* kHtmlType = "text/html; charset=utf-8";

bool plainHost(const std::string& host)
{
    if (host.empty() || host.size() > 255)
        return false;
    for (char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':' && c != '[' && c != ']')
            return false;
    return true;
}

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

}

CourseServer::CourseServer(CourseStore& store, std::size_t maxBody)
    : store_(store), maxBody_(maxBody), server_(std::make_unique<httplib::Server>())
{
    server_->new_task_queue = [] { return new httplib::ThreadPool(16); };
    server_->set_payload_max_length(maxBody_);
    // Headers and body go out as separate writes; without this each reply waits for an ACK.
    server_->set_tcp_nodelay(true);
    server_->set_read_timeout(30);
    server_->set_write_timeout(30);
    server_->set_socket_options([this](int socket) {
        listener_ = socket;
        const int on = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    routes();
}

CourseServer::~CourseServer() = default;

int CourseServer::bind(const std::string& host, int port)
{
    host_ = host;
    port_ = port == 0 ? server_->bind_to_any_port(host) : (server_->bind_to_port(host, port) ? port : -1);
    // The library listens with a backlog of 5: a burst of clients connecting at once would
    // see resets. Listening again on the bound socket widens the queue.
    if (port_ > 0 && listener_ >= 0)
        ::listen(listener_, SOMAXCONN);
    return port_;
}

void CourseServer::run()
{
    server_->listen_after_bind();
}

void CourseServer::stop()
{
    server_->stop();
}

void CourseServer::routes()
{
    // The address the records are fetched from: the one the browser used for this page.
    auto base = [this](const httplib::Request& req) {
        const std::string host = req.get_header_value("Host");
        return "http://" + (plainHost(host) ? host : host_ + ":" + std::to_string(port_));
    };
    auto blob = [](httplib::Response& res, const std::optional<std::string>& bytes, const char* type) {
        if (!bytes) {
            res.status = 404;
            return;
        }
        res.set_content(*bytes, type);
    };

    server_->Get("/", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(CoursePage(store_.lectures(), store_.students()), kHtmlType);
    });

    server_->Post("/clientif", [this](const httplib::Request& req, httplib::Response& res) {
        if (!req.is_multipart_form_data()) {
            sendReply(res, {400, "multipart/form-data 양식으로 보내야 합니다.", {}});
            return;
        }
        sendReply(res, HandleClientIf(store_, formParts(req)));
    });

    server_->Get(std::string("/essay/") + kKey, [this, blob](const httplib::Request& req, httplib::Response& res) {
        blob(res, store_.essay(req.matches[1]), "application/octet-stream");
    });
    server_->Get(std::string("/correction/") + kKey, [this, blob](const httplib::Request& req, httplib::Response& res) {
        blob(res, store_.correction(req.matches[1]), "application/octet-stream");
    });
    server_->Get(std::string("/thumbnail/") + kKey, [this, blob](const httplib::Request& req, httplib::Response& res) {
        blob(res, store_.thumbnail(req.matches[1]), "image/jpeg");
    });
    server_->Get(std::string("/discussion/") + kKey, [this](const httplib::Request& req, httplib::Response& res) {
        const std::optional<Lecture> lecture = store_.lecture(req.matches[1]);
        if (!lecture || lecture->discussion.empty()) {
            res.status = 404;
            return;
        }
        res.set_content(DiscussionPage(*lecture), kHtmlType);
    });

    server_->Post(std::string("/scan/") + kKey, [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<ScannedPage> pages;
        const auto [begin, end] = req.files.equal_range("page");
        for (auto it = begin; it != end; ++it)
            // A file field left empty still arrives, without name or content.
            if (!it->second.filename.empty() || !it->second.content.empty())
                pages.push_back({it->second.filename, it->second.content});
        const std::string key = req.matches[1];
        try {
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
    server_->Get(
        std::string("/launch/(S001|T001|C001)/") + kKey + "\\.dzl",
        [this, base, handOut](const httplib::Request& req, httplib::Response& res) {
            const std::string mode = req.matches[1];
            const std::optional<Lecture> lecture = store_.lecture(req.matches[2]);
            if (!lecture) {
                res.status = 404;
                return;
            }
            std::string bytes;
            if (mode == "S001")
                bytes = StudentLaunch(*lecture, store_.issueToken(Role::Student, lecture->student.number), base(req));
            else if (mode == "T001")
                bytes = TeacherLaunch(*lecture, store_.issueToken(Role::Teacher, lecture->teacher.number), base(req));
            else
                bytes = ViewLaunch(*lecture, base(req));
            handOut(res, mode + "-" + lecture->key, bytes);
        });
    server_->Get(std::string("/launch/new/") + kKey + "\\.dzl",
                 [this, handOut](const httplib::Request& req, httplib::Response& res) {
                     for (const Person& student : store_.students()) {
                         if (student.number == req.matches[1]) {
                             handOut(res, "S001-new-" + student.number,
                                     NewEssayLaunch(student, store_.issueToken(Role::Student, student.number)));
                             return;
                         }
                     }
                     res.status = 404;
                 });

    server_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty())
            return;
        if (req.path == "/clientif" && res.status == 413)
            sendReply(res, {413, "보낸 자료가 너무 커서 받을 수 없습니다.", {}});
        else if (req.path == "/clientif")
            sendReply(res, {res.status, "보낸 양식을 읽을 수 없습니다.", {}});
        else if (req.path.rfind("/scan/", 0) == 0 && res.status == 413)
            res.set_content(MessagePage("스캔한 답안을 받지 못했습니다", "올린 파일이 너무 커서 받을 수 없습니다."),
                            kHtmlType);
        else if (res.status == 404)
            res.set_content("404 찾는 자료가 없습니다.", "text/plain; charset=utf-8");
    });
    server_->set_exception_handler([](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
        std::string what = "unknown error";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        std::fprintf(stderr, "course-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(), what.c_str());
        res.status = 500;
        sendReply(res, {500, "서버 내부 오류로 처리하지 못했습니다. 잠시 후 다시 시도하십시오.", {}});
    });
}
