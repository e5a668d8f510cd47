#pragma once

#include <boost/asio/ssl/context.hpp>

#include <memory>
#include <string>

// A server's TLS settings: TLS 1.2 and later, forward secrecy only (ECDHE key exchange with
// AEAD ciphers), the PEM certificate chain and its key. Raises std::runtime_error naming
// the file that cannot be used or the mismatch.
std::unique_ptr<boost::asio::ssl::context> MakeTlsContext(const std::string& certFile, const std::string& keyFile);
