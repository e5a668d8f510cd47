#include "TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <stdexcept>

namespace {

std::string tlsError(const std::string& what)
{
    const unsigned long code = ERR_get_error();
    char text[256] = "unknown reason";
    if (code != 0)
        ERR_error_string_n(code, text, sizeof text);
    return what + ": " + text;
}

}

std::unique_ptr<boost::asio::ssl::context> MakeTlsContext(const std::string& certFile, const std::string& keyFile)
{
    auto context = std::make_unique<boost::asio::ssl::context>(boost::asio::ssl::context::tls_server);
    SSL_CTX* native = context->native_handle();
    SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION);
    SSL_CTX_set_options(native, SSL_OP_NO_RENEGOTIATION | SSL_OP_CIPHER_SERVER_PREFERENCE);
    // TLS 1.3 suites all have forward secrecy; for 1.2 only ECDHE with AEAD ciphers.
    if (SSL_CTX_set_cipher_list(native, "ECDHE+AESGCM:ECDHE+CHACHA20") != 1)
        throw std::runtime_error(tlsError("cannot set up TLS"));
    if (SSL_CTX_use_certificate_chain_file(native, certFile.c_str()) != 1)
        throw std::runtime_error(tlsError("cannot read the certificate " + certFile));
    if (SSL_CTX_use_PrivateKey_file(native, keyFile.c_str(), SSL_FILETYPE_PEM) != 1
        || SSL_CTX_check_private_key(native) != 1)
        throw std::runtime_error(tlsError("cannot use the key " + keyFile + " with the certificate"));
    return context;
}
