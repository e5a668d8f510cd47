#pragma once

#include <chrono>
#include <cstddef>

// What one request may cost the server. Every bound holds for plain HTTP and TLS alike.
struct RequestLimits {
    // A posted body; chunked bodies are refused, because their size is not known up front.
    std::size_t maxBody = 64u << 20;
    // The request line and its headers together, and their number of lines.
    std::size_t maxHeadBytes = 32u << 10;
    std::size_t maxHeadLines = 100;
    // From the connection's start to the end of its headers (the TLS handshake included).
    std::chrono::seconds headDeadline{10};
    // From the connection's start to the last byte of the answer.
    std::chrono::seconds requestDeadline{120};
    // Connections one address may hold open at once; the pool serves 16. Each connection
    // carries one request, so this bounds a slow client, not a school behind one address.
    int connectionsPerAddress = 8;
};
