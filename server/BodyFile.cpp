#include "BodyFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {

void writeAll(int fd, const char* bytes, std::size_t size, std::uint64_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("cannot keep a request body: " + std::string(std::strerror(errno)));
        bytes += n;
        size -= std::size_t(n);
        offset += std::uint64_t(n);
    }
}

}

BodyFile::~BodyFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void BodyFile::spill()
{
    std::string path = (std::filesystem::temp_directory_path() / "course-body-XXXXXX").string();
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0)
        throw std::runtime_error("cannot make a temporary file for a request body: "
                                 + std::string(std::strerror(errno)));
    ::unlink(path.c_str());
    writeAll(fd_, memory_.data(), memory_.size(), 0);
    std::string().swap(memory_);
}

void BodyFile::append(const char* bytes, std::size_t size)
{
    if (fd_ < 0 && size_ + size > kInMemory)
        spill();
    if (fd_ < 0)
        memory_.append(bytes, size);
    else
        writeAll(fd_, bytes, size, size_);
    size_ += size;
}

std::string BodyFile::read(std::uint64_t offset, std::size_t size) const
{
    if (offset >= size_)
        return {};
    if (fd_ < 0)
        return memory_.substr(std::size_t(offset), size);
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
