#include "BodyFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

BodyFile::BodyFile()
{
    std::string path = (std::filesystem::temp_directory_path() / "course-body-XXXXXX").string();
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0)
        throw std::runtime_error("cannot make a temporary file for a request body: "
                                 + std::string(std::strerror(errno)));
    ::unlink(path.c_str());
}

BodyFile::~BodyFile()
{
    ::close(fd_);
}

void BodyFile::append(const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, size, off_t(size_));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("cannot keep a request body: " + std::string(std::strerror(errno)));
        bytes += n;
        size -= std::size_t(n);
        size_ += std::uint64_t(n);
    }
}

std::string BodyFile::read(std::uint64_t offset, std::size_t size) const
{
    if (offset >= size_)
        return {};
    std::string out(std::size_t(std::min<std::uint64_t>(size, size_ - offset)), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("cannot read a request body back: " + std::string(std::strerror(errno)));
        done += std::size_t(n);
    }
    return out;
}
