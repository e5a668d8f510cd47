#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A small blocking HTTP/1.1 client for tests and benchmarks: one kept-alive connection to a
// loopback server, plain requests and multipart forms.
class HttpClient {
public:
    struct FormItem {
        std::string name;
        std::string content;
        std::string fileName;  // empty: a text field
        std::string contentType;
    };
    struct Answer {
        int status = 0;  // 0: no answer (the connection failed)
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
    };
    using Headers = std::vector<std::pair<std::string, std::string>>;

    explicit HttpClient(int port, std::string host = "127.0.0.1");
    ~HttpClient();

    Answer get(const std::string& target, const Headers& headers = {});
    Answer post(const std::string& target, const std::string& body, const std::string& contentType,
                const Headers& headers = {});
    Answer postForm(const std::string& target, const std::vector<FormItem>& items, const Headers& headers = {});

    // "Basic ..." for number:password.
    static std::string basic(const std::string& number, const std::string& password);

private:
    struct Connection;
    Answer send(const std::string& method, const std::string& target, const std::string& body,
                const std::string& contentType, const Headers& headers);

    int port_;
    std::string host_;
    std::unique_ptr<Connection> connection_;
};
