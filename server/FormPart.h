#pragma once

#include "BodyFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

// One part of a posted form, as the client sent it (text values are code page 949 bytes).
// A file part of a received body stays in the body's file until a handler reads it, so a
// form costs memory only for what is read, and only once its sender is known.
class FormPart {
public:
    FormPart(std::string content, std::string fileName, std::string contentType)
        : content_(std::move(content)), fileName_(std::move(fileName)), contentType_(std::move(contentType))
    {
    }
    static FormPart InBody(std::shared_ptr<const BodyFile> body, std::uint64_t offset, std::uint64_t size,
                           std::string fileName, std::string contentType);

    const std::string& fileName() const { return fileName_; }
    const std::string& contentType() const { return contentType_; }
    std::uint64_t size() const { return body_ ? size_ : content_.size(); }
    // The part's bytes, read from the body file when they are kept there.
    std::string bytes() const;
    // Up to `size` of the part's bytes from `offset`.
    std::string read(std::uint64_t offset, std::size_t size) const;

private:
    std::string content_;
    std::string fileName_;
    std::string contentType_;
    std::shared_ptr<const BodyFile> body_;
    std::uint64_t offset_ = 0;
    std::uint64_t size_ = 0;
};
using FormParts = std::multimap<std::string, FormPart>;
