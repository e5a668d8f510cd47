#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A request body as it arrives, kept in a temporary file that has no name (it disappears
// with the last handle), so memory holds only what a handler reads of it.
class BodyFile {
public:
    // Raises std::runtime_error when no temporary file can be made.
    BodyFile();
    ~BodyFile();
    BodyFile(const BodyFile&) = delete;
    BodyFile& operator=(const BodyFile&) = delete;

    // Raises std::runtime_error when the disk refuses the bytes.
    void append(const char* bytes, std::size_t size);
    std::uint64_t size() const { return size_; }
    // Up to `size` bytes from `offset`.
    std::string read(std::uint64_t offset, std::size_t size) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};
