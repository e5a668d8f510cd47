#include "RawClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <stdexcept>

RawClient::RawClient(int port, const std::string& from) : socket_(::socket(AF_INET, SOCK_STREAM, 0))
{
    sockaddr_in source{};
    source.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(uint16_t(port));
    ::inet_pton(AF_INET, "127.0.0.1", &target.sin_addr);
    const timeval wait{10, 0};
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    ::setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0
        || ::connect(socket_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0)
        throw std::runtime_error("cannot connect from " + from);
}

RawClient::~RawClient()
{
    ::close(socket_);
}

bool RawClient::send(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(socket_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

namespace {

// True once `out` holds a whole answer whose length its head announces.
bool complete(const std::string& out)
{
    const size_t headEnd = out.find("\r\n\r\n");
    if (headEnd == std::string::npos)
        return false;
    std::string head = out.substr(0, headEnd);
    for (char& c : head)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const size_t length = head.find("\r\ncontent-length:");
    if (length == std::string::npos)
        return false;
    return out.size() - headEnd - 4 >= std::stoull(head.substr(length + 17));
}

}

std::string RawClient::answer()
{
    std::string out;
    char buffer[4096];
    ssize_t n;
    while (!complete(out) && (n = ::recv(socket_, buffer, sizeof buffer, 0)) > 0)
        out.append(buffer, size_t(n));
    return out;
}

namespace {

long memoryFigure(long long pid, const std::string& key)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size())) / 1024;
    return -1;
}

}

std::string RawClient::receive(size_t size)
{
    std::string out(size, '\0');
    const ssize_t n = ::recv(socket_, out.data(), size, MSG_WAITALL);
    out.resize(size_t(std::max<ssize_t>(n, 0)));
    return out;
}

bool RawClient::closedByServer()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(socket_, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET))
            return true;
        if (n < 0)
            return false;
    }
}

long PeakMemoryMiB(long long pid)
{
    return memoryFigure(pid, "VmHWM:");
}

long ResidentMemoryMiB(long long pid)
{
    return memoryFigure(pid, "VmRSS:");
}
