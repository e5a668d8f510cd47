#pragma once

#include <string>

// A loopback TCP client that speaks whatever bytes a test gives it, as an attacker would:
// from a chosen source address (127.0.0.x), ignoring a server that stops reading.
class RawClient {
public:
    RawClient(int port, const std::string& from = "127.0.0.1");
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // False once the server no longer takes bytes.
    bool send(const std::string& bytes);
    // The server's answer: up to the end of the body its head announces, or until the
    // server closes, or until 10 s of silence.
    std::string answer();

    // Exactly `size` bytes of what the server says (fewer when it closes or falls silent).
    std::string receive(size_t size);
    // True when the server closed the connection (rather than 10 s passing in silence).
    bool closedByServer();

private:
    int socket_ = -1;
};

// Process's peak resident memory in MiB (VmHWM), or -1.
long PeakMemoryMiB(long long pid);
// Process's resident memory now in MiB (VmRSS), or -1.
long ResidentMemoryMiB(long long pid);
