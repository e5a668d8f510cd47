#include "MultipartForm.h"

#include "CourseStore.h"

#include <algorithm>
#include <cctype>
#include <strings.h>
#include <vector>

namespace {

constexpr std::size_t kPiece = 1 << 16;
constexpr std::size_t kMaxPartHead = 8192;
constexpr std::size_t kMaxParts = 200;
constexpr std::size_t kMaxTextInMemory = 1 << 16;

Refusal unreadable()
{
    return Refusal(400, "보낸 양식을 읽을 수 없습니다.");
}

// Where each "\r\n--boundary" starts, reading the body piece by piece; a body that opens
// with the delimiter counts as if a line break came first (at offset -2).
std::vector<std::int64_t> delimiters(const BodyFile& body, const std::string& boundary)
{
    const std::string delimiter = "\r\n--" + boundary;
    std::vector<std::int64_t> found;
    std::string window = "\r\n";
    std::int64_t windowOffset = -2;
    for (std::uint64_t at = 0; at < body.size(); at += kPiece) {
        window += body.read(at, kPiece);
        for (size_t hit = window.find(delimiter); hit != std::string::npos; hit = window.find(delimiter, hit + 1)) {
            found.push_back(windowOffset + std::int64_t(hit));
            if (found.size() > kMaxParts + 1)
                throw Refusal(400, "보낸 양식의 항목이 너무 많습니다.");
        }
        const size_t keep = std::min(window.size(), delimiter.size() - 1);
        windowOffset += std::int64_t(window.size() - keep);
        window.erase(0, window.size() - keep);
    }
    return found;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A parameter of a Content-Disposition value: name="..." or name=token.
std::string parameter(const std::string& value, const std::string& name)
{
    size_t at = 0;
    while ((at = lower(value).find(name + "=", at)) != std::string::npos) {
        if (at == 0 || value[at - 1] == ';' || value[at - 1] == ' ' || value[at - 1] == '\t') {
            at += name.size() + 1;
            if (at < value.size() && value[at] == '"')
                return value.substr(at + 1, value.find('"', at + 1) - at - 1);
            return value.substr(at, value.find(';', at) - at);
        }
        at += name.size();
    }
    return {};
}

struct PartHead {
    std::string name;
    std::string fileName;
    bool hasFileName = false;
    std::string contentType;
    std::uint64_t contentStart = 0;
};

PartHead readHead(const BodyFile& body, std::uint64_t start, std::uint64_t end)
{
    const std::string head = body.read(start, std::size_t(std::min<std::uint64_t>(kMaxPartHead, end - start)));
    const size_t close = head.find("\r\n\r\n");
    if (close == std::string::npos)
        throw unreadable();
    PartHead part;
    part.contentStart = start + close + 4;
    size_t at = 0;
    while (at < close) {
        const size_t lineEnd = head.find("\r\n", at);
        const std::string line = head.substr(at, lineEnd - at);
        at = lineEnd + 2;
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            throw unreadable();
        const std::string key = line.substr(0, colon);
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        if (strcasecmp(key.c_str(), "Content-Disposition") == 0) {
            part.name = parameter(value, "name");
            part.hasFileName = lower(value).find("filename=") != std::string::npos;
            part.fileName = parameter(value, "filename");
        } else if (strcasecmp(key.c_str(), "Content-Type") == 0) {
            part.contentType = value;
        }
    }
    if (part.name.empty())
        throw unreadable();
    return part;
}

}

std::optional<std::string> MultipartBoundary(const std::string& contentType)
{
    if (lower(contentType).rfind("multipart/form-data", 0) != 0)
        return std::nullopt;
    std::string boundary = parameter(contentType, "boundary");
    if (boundary.empty() || boundary.size() > 70)
        return std::nullopt;
    return boundary;
}

FormParts ReadMultipartForm(const std::shared_ptr<const BodyFile>& body, const std::string& boundary)
{
    const std::vector<std::int64_t> found = delimiters(*body, boundary);
    if (found.empty())
        throw unreadable();
    const std::uint64_t delimiterSize = boundary.size() + 4;
    FormParts parts;
    for (size_t i = 0; i + 1 < found.size(); ++i) {
        // The delimiter line ends with a line break (blanks may come first).
        std::uint64_t start = std::uint64_t(found[i]) + delimiterSize;
        const std::string rest = body->read(start, 80);
        const size_t lineEnd = rest.find("\r\n");
        if (lineEnd == std::string::npos || rest.find_first_not_of(" \t") < lineEnd)
            throw unreadable();
        start += lineEnd + 2;
        const std::uint64_t end = std::uint64_t(found[i + 1]);
        if (start > end)
            throw unreadable();
        const PartHead head = readHead(*body, start, end);
        if (head.contentStart > end)
            throw unreadable();
        const std::uint64_t size = end - head.contentStart;
        if (!head.hasFileName && size <= kMaxTextInMemory)
            parts.emplace(head.name, FormPart(body->read(head.contentStart, std::size_t(size)), {}, head.contentType));
        else
            parts.emplace(head.name, FormPart::InBody(body, head.contentStart, size, head.fileName, head.contentType));
    }
    if (body->read(std::uint64_t(found.back()) + delimiterSize, 2) != "--")
        throw unreadable();
    return parts;
}

FormPart FormPart::InBody(std::shared_ptr<const BodyFile> body, std::uint64_t offset, std::uint64_t size,
                          std::string fileName, std::string contentType)
{
    FormPart part({}, std::move(fileName), std::move(contentType));
    part.body_ = std::move(body);
    part.offset_ = offset;
    part.size_ = size;
    return part;
}

std::string FormPart::bytes() const
{
    return body_ ? body_->read(offset_, std::size_t(size_)) : content_;
}

std::string FormPart::read(std::uint64_t offset, std::size_t size) const
{
    if (offset >= this->size())
        return {};
    size = std::size_t(std::min<std::uint64_t>(size, this->size() - offset));
    return body_ ? body_->read(offset_ + offset, size) : content_.substr(std::size_t(offset), size);
}
