#include "GuardedStream.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kSliceMs = 100;

void addressOf(int socket, bool peer, std::string& ip, int& port)
{
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    const int rc = peer ? ::getpeername(socket, reinterpret_cast<sockaddr*>(&address), &size)
                        : ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    if (rc != 0)
        return;
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
}

}

GuardedStream::GuardedStream(int socket, SSL* ssl, const RequestLimits& limits, const std::atomic<bool>& stopping)
    : socket_(socket), ssl_(ssl), limits_(limits), stopping_(stopping)
{
}

GuardedStream::Clock::time_point GuardedStream::deadline() const
{
    return start_ + (inHead_ ? limits_.headDeadline : limits_.requestDeadline);
}

bool GuardedStream::wait(Wait what) const
{
    pollfd fd{socket_, short(what == Wait::Read ? POLLIN : POLLOUT), 0};
    while (!stopping_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline() - Clock::now()).count();
        if (left <= 0)
            return false;
        const int rc = ::poll(&fd, 1, int(std::min<long long>(left, kSliceMs)));
        if (rc > 0)
            return true;
        if (rc < 0 && errno != EINTR)
            return false;
    }
    return false;
}

bool GuardedStream::handshake()
{
    while (true) {
        const int rc = SSL_accept(ssl_);
        if (rc == 1)
            return true;
        const int error = SSL_get_error(ssl_, rc);
        if (error == SSL_ERROR_WANT_READ    ? !wait(Wait::Read)
            : error == SSL_ERROR_WANT_WRITE ? !wait(Wait::Write)
                                            : true)
            return false;
    }
}

ssize_t GuardedStream::receive(char* ptr, size_t size, Wait& retry)
{
    if (!ssl_) {
        const ssize_t n = ::recv(socket_, ptr, size, 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            retry = Wait::Read;
            return -2;
        }
        return n;
    }
    const int n = SSL_read(ssl_, ptr, int(std::min<size_t>(size, 1 << 30)));
    if (n > 0)
        return n;
    const int error = SSL_get_error(ssl_, n);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
        retry = error == SSL_ERROR_WANT_READ ? Wait::Read : Wait::Write;
        return -2;
    }
    return error == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

bool GuardedStream::fill()
{
    Wait retry = Wait::Read;
    while (!broken_) {
        const ssize_t n = receive(buffer_, sizeof buffer_, retry);
        if (n > 0) {
            begin_ = 0;
            end_ = size_t(n);
            return true;
        }
        if (n != -2 || !wait(retry))
            break;
    }
    broken_ = true;
    return false;
}

bool GuardedStream::is_readable() const
{
    return begin_ < end_ || (ssl_ && SSL_pending(ssl_) > 0);
}

bool GuardedStream::is_writable() const
{
    return !answered_ && wait(Wait::Write);
}

void GuardedStream::countHead(char c)
{
    ++headBytes_;
    ++lineBytes_;
    const char before = previous_;
    previous_ = c;
    if (c != '\n')
        return;
    ++headLines_;
    // The head ends at its first line that is CR LF alone, as httplib reads it.
    if (lineBytes_ == 2 && before == '\r' && headLines_ > 1)
        inHead_ = false;
    lineBytes_ = 0;
}

void GuardedStream::refuseHead()
{
    const std::string body = "431 요청의 헤더가 너무 큽니다.";
    write("HTTP/1.1 431 Request Header Fields Too Large\r\nContent-Type: text/plain; charset=utf-8\r\n"
          "Content-Length: "
          + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    broken_ = true;
    answered_ = true;
}

ssize_t GuardedStream::read(char* ptr, size_t size)
{
    if (broken_ || size == 0)
        return broken_ ? -1 : 0;
    if (begin_ == end_ && !fill())
        return -1;
    size_t n = std::min(size, end_ - begin_);
    if (inHead_) {
        // Byte by byte, so the head's end is found exactly.
        n = 0;
        while (n < size && begin_ + n < end_ && inHead_)
            countHead(buffer_[begin_ + n++]);
        if (headBytes_ > limits_.maxHeadBytes || headLines_ > limits_.maxHeadLines) {
            refuseHead();
            return -1;
        }
    } else {
        bodyBytes_ += n;
        if (bodyBytes_ > limits_.maxBody) {
            broken_ = true;
            return -1;
        }
    }
    std::copy_n(buffer_ + begin_, n, ptr);
    begin_ += n;
    return ssize_t(n);
}

ssize_t GuardedStream::write(const char* ptr, size_t size)
{
    if (answered_)
        return -1;
    size_t done = 0;
    while (done < size) {
        ssize_t n;
        Wait retry = Wait::Write;
        if (!ssl_) {
            n = ::send(socket_, ptr + done, size - done, MSG_NOSIGNAL);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                n = -2;
        } else {
            const int rc = SSL_write(ssl_, ptr + done, int(std::min<size_t>(size - done, 1 << 30)));
            n = rc;
            if (rc <= 0) {
                const int error = SSL_get_error(ssl_, rc);
                n = error == SSL_ERROR_WANT_WRITE || error == SSL_ERROR_WANT_READ ? -2 : -1;
                retry = error == SSL_ERROR_WANT_READ ? Wait::Read : Wait::Write;
            }
        }
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n != -2 || !wait(retry))
            return done > 0 ? ssize_t(done) : -1;
    }
    return ssize_t(done);
}

void GuardedStream::drain()
{
    if (ssl_)
        SSL_shutdown(ssl_);
    else
        ::shutdown(socket_, SHUT_WR);
    const auto until = std::min(Clock::now() + std::chrono::seconds(1), start_ + limits_.requestDeadline);
    std::size_t dropped = 0;
    pollfd fd{socket_, POLLIN, 0};
    char scrap[4096];
    while (!stopping_ && dropped < (1u << 20)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || ::poll(&fd, 1, int(std::min<long long>(left, kSliceMs))) < 0)
            return;
        if (!(fd.revents & POLLIN))
            continue;
        const ssize_t n = ::recv(socket_, scrap, sizeof scrap, 0);
        if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR)))
            return;
        dropped += size_t(std::max<ssize_t>(n, 0));
    }
}

void GuardedStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    addressOf(socket_, true, ip, port);
}

void GuardedStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    addressOf(socket_, false, ip, port);
}
