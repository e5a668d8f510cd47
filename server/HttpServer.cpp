#include "HttpServer.h"

#include "HttpBody.h"
#include "TlsContext.h"

#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <cstdio>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kMaxDrain = 1 << 20;
constexpr int kWorkers = 32;

// The last address X-Forwarded-For names: the one the proxy itself saw.
std::string forwardedFor(const std::string& header)
{
    std::string last = header.substr(header.rfind(',') == std::string::npos ? 0 : header.rfind(',') + 1);
    last.erase(0, last.find_first_not_of(" \t"));
    last.erase(last.find_last_not_of(" \t") + 1);
    return last;
}

HttpRequest requestOf(const http::request_header<>& head)
{
    HttpRequest req;
    req.method = std::string(head.method_string());
    const std::string target(head.target());
    const size_t question = target.find('?');
    req.path = target.substr(0, question);
    if (question != std::string::npos)
        req.query = DecodeUrlForm(target.substr(question + 1));
    for (const auto& field : head)
        req.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
    return req;
}

int statusOf(const beast::error_code& error)
{
    if (error == http::error::header_limit)
        return 431;
    if (error == http::error::body_limit)
        return 413;
    return 400;
}

}

struct HttpServer::Core {
    Core(const RequestLimits& limits, std::string trustedProxy, Screen screen, Handler handler, Failure failure)
        : limits(limits), trustedProxy(std::move(trustedProxy)), screen(std::move(screen)), handler(std::move(handler)),
          failure(std::move(failure))
    {
    }

    RequestLimits limits;
    std::string trustedProxy;
    Screen screen;
    Handler handler;
    Failure failure;
    std::vector<std::pair<std::string, std::string>> headers;

    std::unique_ptr<asio::ssl::context> tls;
    std::mutex mutex;
    std::map<std::string, int> unfinished;
    asio::thread_pool workers{kWorkers};
    // Last, so that the connections it still holds end while all the above exist.
    asio::io_context io;
    tcp::acceptor acceptor{io};

    // A new connection counts against its address until its first request is in; one kept
    // alive after a whole exchange does not (a class's clients keep theirs between saves),
    // and none from the trusted proxy does, which bounds its own clients.
    class Waiting {
    public:
        Waiting(Core& core, std::string address) : core_(core), address_(std::move(address)) {}
        ~Waiting() { leave(); }
        bool enter()
        {
            if (in_ || address_ == core_.trustedProxy)
                return true;
            const std::lock_guard lock(core_.mutex);
            int& count = core_.unfinished[address_];
            if (count >= core_.limits.unfinishedPerAddress)
                return false;
            ++count;
            in_ = true;
            return true;
        }
        void leave()
        {
            if (!in_)
                return;
            const std::lock_guard lock(core_.mutex);
            if (--core_.unfinished[address_] <= 0)
                core_.unfinished.erase(address_);
            in_ = false;
        }

    private:
        Core& core_;
        std::string address_;
        bool in_ = false;
    };

    asio::awaitable<void> accept();
    asio::awaitable<void> connection(tcp::socket socket);
    template <typename Stream>
    asio::awaitable<void> exchanges(Stream& stream, const std::string& peer, Waiting& waiting);
    template <typename Stream>
    asio::awaitable<void> answer(Stream& stream, const HttpRequest& req, HttpResponse res, unsigned version,
                                 bool keepAlive, beast::error_code& error);
    template <typename Stream>
    asio::awaitable<void> drain(Stream& stream, beast::flat_buffer& buffer);
    HttpResponse respond(HttpRequest& req);
};

asio::awaitable<void> HttpServer::Core::accept()
{
    for (;;) {
        beast::error_code error;
        tcp::socket socket = co_await acceptor.async_accept(asio::redirect_error(asio::use_awaitable, error));
        if (error == asio::error::operation_aborted || !acceptor.is_open())
            co_return;
        if (error) {
            // Out of file handles, most likely: wait for connections to end.
            asio::steady_timer pause(io, std::chrono::milliseconds(100));
            co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, error));
            continue;
        }
        asio::co_spawn(io, connection(std::move(socket)), asio::detached);
    }
}

asio::awaitable<void> HttpServer::Core::connection(tcp::socket socket)
{
    beast::error_code error;
    const tcp::endpoint remote = socket.remote_endpoint(error);
    if (error)
        co_return;
    socket.set_option(tcp::no_delay(true), error);
    const std::string peer = remote.address().to_string();
    Waiting waiting(*this, peer);
    beast::tcp_stream plain(std::move(socket));
    if (!waiting.enter()) {
        if (!tls) {
            static const std::string busy = "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 10\r\n"
                                            "Content-Length: 0\r\nConnection: close\r\n\r\n";
            plain.expires_after(std::chrono::seconds(1));
            co_await asio::async_write(plain, asio::buffer(busy), asio::redirect_error(asio::use_awaitable, error));
            beast::flat_buffer buffer;
            co_await drain(plain, buffer);
        }
        co_return;
    }
    if (!tls) {
        co_await exchanges(plain, peer, waiting);
        co_return;
    }
    beast::ssl_stream<beast::tcp_stream> secure(std::move(plain), *tls);
    beast::get_lowest_layer(secure).expires_after(limits.headDeadline);
    co_await secure.async_handshake(asio::ssl::stream_base::server, asio::redirect_error(asio::use_awaitable, error));
    if (!error)
        co_await exchanges(secure, peer, waiting);
}

template <typename Stream>
asio::awaitable<void> HttpServer::Core::exchanges(Stream& stream, const std::string& peer, Waiting& waiting)
{
    beast::flat_buffer buffer(limits.maxHeadBytes + 4096);
    for (;;) {
        const Clock::time_point start = Clock::now();
        beast::get_lowest_layer(stream).expires_after(limits.headDeadline);
        http::request_parser<http::empty_body> head;
        head.header_limit(std::uint32_t(limits.maxHeadBytes));
        head.body_limit(limits.maxBody);
        beast::error_code error;
        co_await http::async_read_header(stream, buffer, head, asio::redirect_error(asio::use_awaitable, error));
        HttpRequest req = requestOf(head.get());
        req.remoteAddress = peer == trustedProxy && req.hasHeader("X-Forwarded-For")
                                ? forwardedFor(req.header("X-Forwarded-For"))
                                : peer;
        const unsigned version = head.get().version();
        const bool keepAlive = head.keep_alive();
        if (error) {
            if (error == http::error::end_of_stream || error == beast::error::timeout || error == asio::error::eof
                || error == asio::error::connection_reset || error == asio::error::operation_aborted)
                co_return;
            co_await answer(stream, req, failure(req, statusOf(error)), version, false, error);
            co_await drain(stream, buffer);
            co_return;
        }
        if (std::optional<HttpResponse> refusal = screen(req)) {
            co_await answer(stream, req, std::move(*refusal), version, false, error);
            co_await drain(stream, buffer);
            co_return;
        }
        beast::get_lowest_layer(stream).expires_at(start + limits.requestDeadline);
        if (!head.is_done()) {
            // A client that asked waits for this before it sends the body.
            if (beast::iequals(req.header("Expect"), "100-continue")) {
                http::response<http::empty_body> proceed{http::status::continue_, version};
                co_await http::async_write(stream, proceed, asio::redirect_error(asio::use_awaitable, error));
                if (error)
                    co_return;
            }
            http::request_parser<SpoolBody> body(std::move(head));
            body.body_limit(limits.maxBody);
            co_await http::async_read(stream, buffer, body, asio::redirect_error(asio::use_awaitable, error));
            if (error) {
                if (error == http::error::body_limit)
                    co_await answer(stream, req, failure(req, 413), version, false, error);
                co_return;
            }
            req.body = body.get().body();
        }
        waiting.leave();
        HttpResponse res = co_await asio::co_spawn(
            workers, [this, &req]() -> asio::awaitable<HttpResponse> { co_return respond(req); }, asio::use_awaitable);
        req.body.reset();
        co_await answer(stream, req, std::move(res), version, keepAlive, error);
        if (error || !keepAlive)
            co_return;
    }
}

HttpResponse HttpServer::Core::respond(HttpRequest& req)
{
    try {
        return handler(req);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "course-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(), e.what());
    }
    return failure(req, 500);
}

template <typename Stream>
asio::awaitable<void> HttpServer::Core::answer(Stream& stream, const HttpRequest& req, HttpResponse res,
                                               unsigned version, bool keepAlive, beast::error_code& error)
{
    http::response<http::string_body> out;
    out.version(version ? version : 11);
    out.result(unsigned(res.status));
    for (const auto& [name, value] : headers)
        out.set(name, value);
    for (const auto& [name, value] : res.headers)
        out.insert(name, value);
    if (req.method != "HEAD")
        out.body() = std::move(res.body);
    out.keep_alive(keepAlive);
    out.prepare_payload();
    co_await http::async_write(stream, out, asio::redirect_error(asio::use_awaitable, error));
}

// Reads and drops what the client still sends, briefly and boundedly, so that a refusal
// written before the body was read reaches the client instead of a reset.
template <typename Stream>
asio::awaitable<void> HttpServer::Core::drain(Stream& stream, beast::flat_buffer& buffer)
{
    beast::error_code error;
    beast::get_lowest_layer(stream).socket().shutdown(tcp::socket::shutdown_send, error);
    beast::get_lowest_layer(stream).expires_after(std::chrono::seconds(1));
    std::size_t dropped = 0;
    while (!error && dropped < kMaxDrain) {
        buffer.clear();
        dropped +=
            co_await stream.async_read_some(buffer.prepare(16384), asio::redirect_error(asio::use_awaitable, error));
    }
}

HttpServer::HttpServer(const RequestLimits& limits, std::string trustedProxy, Screen screen, Handler handler,
                       Failure failure)
    : core_(std::make_unique<Core>(limits, std::move(trustedProxy), std::move(screen), std::move(handler),
                                   std::move(failure)))
{
}

HttpServer::~HttpServer()
{
    stop();
    core_->workers.join();
}

void HttpServer::useTls(const std::string& certFile, const std::string& keyFile)
{
    core_->tls = MakeTlsContext(certFile, keyFile);
}

void HttpServer::addHeader(const std::string& name, const std::string& value)
{
    core_->headers.emplace_back(name, value);
}

bool HttpServer::servesTls() const
{
    return core_->tls != nullptr;
}

int HttpServer::bind(const std::string& host, int port)
{
    beast::error_code error;
    const asio::ip::address address = asio::ip::make_address(host == "localhost" ? "127.0.0.1" : host, error);
    if (error)
        return -1;
    const tcp::endpoint endpoint(address, static_cast<unsigned short>(port));
    tcp::acceptor& acceptor = core_->acceptor;
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        acceptor.set_option(asio::socket_base::reuse_address(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
        errno = error.value();
        acceptor.close(error);
        return -1;
    }
    return acceptor.local_endpoint().port();
}

void HttpServer::run()
{
    asio::co_spawn(core_->io, core_->accept(), asio::detached);
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
        threads.emplace_back([this] { core_->io.run(); });
    core_->io.run();
    for (std::thread& thread : threads)
        thread.join();
    // Handlers still running reach into their connections: they end before anything goes.
    core_->workers.join();
}

void HttpServer::stop()
{
    asio::post(core_->io, [this] {
        beast::error_code error;
        core_->acceptor.close(error);
        core_->io.stop();
    });
}
