#pragma once

#include "BodyFile.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One request as the handlers see it: its head, the client's address, and the body spooled
// to a file (none for a request without a body). Header names are matched without case.
struct HttpRequest {
    std::string method;
    std::string path;  // the target without its query, not decoded
    std::multimap<std::string, std::string> query;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string remoteAddress;  // the client's, through a trusted proxy
    std::shared_ptr<BodyFile> body;
    std::vector<std::string> matches;  // the route's captures

    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const;
    std::string param(const std::string& name) const;
    bool hasParam(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    void setContent(std::string bytes, const std::string& type);
    void setHeader(const std::string& name, const std::string& value);
    void redirect(const std::string& location, int code);
};

// Decodes an application/x-www-form-urlencoded text or a query: '+' is a blank, %XX a byte.
std::multimap<std::string, std::string> DecodeUrlForm(const std::string& text);
