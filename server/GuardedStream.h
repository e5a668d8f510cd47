#pragma once

#include "RequestLimits.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>

// One accepted connection as httplib reads and writes it, over plain TCP or TLS, held to the
// request limits: a deadline for the head and one for the whole exchange, a cap on the
// head's size and lines, a cap on the body's bytes, and an end as soon as the server stops.
// A head over its caps is answered with 431 here, since httplib would keep reading it.
class GuardedStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    // `ssl` may be null (plain TCP); the socket must be non-blocking.
    GuardedStream(int socket, SSL* ssl, const RequestLimits& limits, const std::atomic<bool>& stopping);

    // Runs the TLS handshake within the head deadline; true when it succeeded.
    bool handshake();
    // Reads and drops what the client still sends, briefly and boundedly, so that a refusal
    // written before the body was read reaches the client instead of a reset.
    void drain();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    using httplib::Stream::write;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    enum class Wait { Read, Write };
    // Waits until the socket is ready or the deadline passes or the server stops.
    bool wait(Wait what) const;
    Clock::time_point deadline() const;
    ssize_t receive(char* ptr, size_t size, Wait& retry);
    bool fill();
    void countHead(char c);
    void refuseHead();

    int socket_;
    SSL* ssl_;
    const RequestLimits& limits_;
    const std::atomic<bool>& stopping_;
    Clock::time_point start_ = Clock::now();

    char buffer_[16384];
    size_t begin_ = 0;
    size_t end_ = 0;

    bool inHead_ = true;
    std::size_t headBytes_ = 0;
    std::size_t headLines_ = 0;
    std::size_t lineBytes_ = 0;
    char previous_ = 0;
    std::size_t bodyBytes_ = 0;
    bool broken_ = false;    // nothing more is read
    bool answered_ = false;  // the refusal went out: nothing more is written
};
