#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A request body as it arrives: kept in memory while it is small, in a temporary file that
// has no name (it disappears with the last handle) once it grows past kInMemory, so memory
// holds only what a handler reads of a large body.
class BodyFile {
public:
    static constexpr std::size_t kInMemory = 256u << 10;

    BodyFile() = default;
    ~BodyFile();
    BodyFile(const BodyFile&) = delete;
    BodyFile& operator=(const BodyFile&) = delete;

    // Raises std::runtime_error when no temporary file can be made or the disk refuses the bytes.
    void append(const char* bytes, std::size_t size);
    std::uint64_t size() const { return size_; }
    // Up to `size` bytes from `offset`.
    std::string read(std::uint64_t offset, std::size_t size) const;

private:
    void spill();

    std::string memory_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};
