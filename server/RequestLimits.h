#pragma once

#include <chrono>
#include <cstddef>

// What one request may cost the server. Every bound holds for plain HTTP and TLS alike.
struct RequestLimits {
    // A posted body; chunked bodies are refused, because their size is not known up front.
    std::size_t maxBody = 64u << 20;
    // The request line and its headers together.
    std::size_t maxHeadBytes = 32u << 10;
    // From a request's start (or the connection's, TLS handshake included) to the end of
    // its headers; an idle kept-alive connection waits as long for its next request.
    std::chrono::seconds headDeadline{10};
    // From a request's start to the last byte of its body.
    std::chrono::seconds requestDeadline{120};
    // New connections one address may hold at once before their first request is in (kept
    // alive ones between requests do not count): a slow client pays only a socket each, and
    // a school behind one address is never refused.
    int unfinishedPerAddress = 64;
};
