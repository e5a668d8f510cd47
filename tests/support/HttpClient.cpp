#include "support/HttpClient.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/core/detail/base64.hpp>
#include <boost/beast/http.hpp>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

struct HttpClient::Connection {
    asio::io_context io;
    beast::tcp_stream stream{io};
    beast::flat_buffer buffer;
    bool open = false;
};

HttpClient::HttpClient(int port, std::string host) : port_(port), host_(std::move(host))
{
}

HttpClient::~HttpClient() = default;

HttpClient::Answer HttpClient::get(const std::string& target, const Headers& headers)
{
    return send("GET", target, {}, {}, headers);
}

HttpClient::Answer HttpClient::post(const std::string& target, const std::string& body, const std::string& contentType,
                                    const Headers& headers)
{
    return send("POST", target, body, contentType, headers);
}

HttpClient::Answer HttpClient::postForm(const std::string& target, const std::vector<FormItem>& items,
                                        const Headers& headers)
{
    const std::string boundary = "----course-test-boundary-7d3a91";
    std::string body;
    for (const FormItem& item : items) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + item.name + "\"";
        if (!item.fileName.empty())
            body += "; filename=\"" + item.fileName + "\"";
        body += "\r\n";
        if (!item.contentType.empty())
            body += "Content-Type: " + item.contentType + "\r\n";
        body += "\r\n" + item.content + "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    return send("POST", target, body, "multipart/form-data; boundary=" + boundary, headers);
}

std::string HttpClient::basic(const std::string& number, const std::string& password)
{
    const std::string plain = number + ":" + password;
    std::string encoded(beast::detail::base64::encoded_size(plain.size()), '\0');
    encoded.resize(beast::detail::base64::encode(encoded.data(), plain.data(), plain.size()));
    return "Basic " + encoded;
}

HttpClient::Answer HttpClient::send(const std::string& method, const std::string& target, const std::string& body,
                                    const std::string& contentType, const Headers& headers)
{
    // A kept-alive connection the server has closed meanwhile is opened again once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = connection_ && connection_->open;
        if (!reused) {
            connection_ = std::make_unique<Connection>();
            beast::error_code error;
            connection_->stream.connect(
                asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port_)),
                error);
            if (error)
                return {};
            connection_->stream.socket().set_option(asio::ip::tcp::no_delay(true), error);
            connection_->open = true;
        }
        http::request<http::string_body> request{http::string_to_verb(method), target, 11};
        request.set(http::field::host, host_ + ":" + std::to_string(port_));
        for (const auto& [name, value] : headers)
            request.set(name, value);
        if (!contentType.empty())
            request.set(http::field::content_type, contentType);
        request.body() = body;
        request.keep_alive(true);
        request.prepare_payload();
        beast::error_code error;
        http::write(connection_->stream, request, error);
        http::response_parser<http::string_body> parser;
        parser.body_limit(1u << 30);
        if (!error)
            http::read(connection_->stream, connection_->buffer, parser, error);
        if (error) {
            connection_->open = false;
            if (reused)
                continue;
            return {};
        }
        Answer answer;
        answer.status = int(parser.get().result_int());
        answer.body = std::move(parser.get().body());
        for (const auto& field : parser.get())
            answer.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
        connection_->open = parser.get().keep_alive();
        return answer;
    }
    return {};
}
