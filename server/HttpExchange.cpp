#include "HttpExchange.h"

#include <algorithm>
#include <strings.h>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decode(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}

std::string HttpRequest::header(const std::string& name) const
{
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    return {};
}

bool HttpRequest::hasHeader(const std::string& name) const
{
    for (const auto& header : headers)
        if (strcasecmp(header.first.c_str(), name.c_str()) == 0)
            return true;
    return false;
}

std::string HttpRequest::param(const std::string& name) const
{
    const auto found = query.find(name);
    return found == query.end() ? std::string() : found->second;
}

bool HttpRequest::hasParam(const std::string& name) const
{
    return query.count(name) > 0;
}

void HttpResponse::setContent(std::string bytes, const std::string& type)
{
    body = std::move(bytes);
    setHeader("Content-Type", type);
}

void HttpResponse::setHeader(const std::string& name, const std::string& value)
{
    for (auto& header : headers)
        if (strcasecmp(header.first.c_str(), name.c_str()) == 0) {
            header.second = value;
            return;
        }
    headers.emplace_back(name, value);
}

void HttpResponse::redirect(const std::string& location, int code)
{
    status = code;
    setHeader("Location", location);
}

std::multimap<std::string, std::string> DecodeUrlForm(const std::string& text)
{
    std::multimap<std::string, std::string> fields;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find('&', at), text.size());
        const std::string pair = text.substr(at, end - at);
        if (!pair.empty()) {
            const size_t equals = pair.find('=');
            fields.emplace(decode(pair.substr(0, equals)),
                           equals == std::string::npos ? std::string() : decode(pair.substr(equals + 1)));
        }
        at = end + 1;
    }
    return fields;
}
