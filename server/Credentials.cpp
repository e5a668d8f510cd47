#include "Credentials.h"

#include <sodium.h>

#include <stdexcept>

namespace {

void ready()
{
    static const bool ok = sodium_init() >= 0;
    if (!ok)
        throw std::runtime_error("libsodium failed to start");
}

std::string hex(const unsigned char* bytes, size_t size)
{
    std::string out(size * 2 + 1, '\0');
    sodium_bin2hex(out.data(), out.size(), bytes, size);
    out.pop_back();
    return out;
}

std::string randomHex(size_t bytes)
{
    ready();
    unsigned char buffer[32];
    randombytes_buf(buffer, bytes);
    return hex(buffer, bytes);
}

}

namespace Credentials {

std::string HashPassword(const std::string& password)
{
    ready();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return out;
}

bool VerifyPassword(const std::string& hash, const std::string& password)
{
    ready();
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

const std::string& DummyHash()
{
    static const std::string hash = HashPassword(randomHex(16));
    return hash;
}

std::string NewToken()
{
    return randomHex(32);
}

std::string TokenDigest(const std::string& token)
{
    ready();
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(token.data()), token.size(),
                       nullptr, 0);
    return hex(digest, sizeof digest);
}

std::string NewLectureKey()
{
    return randomHex(8);
}

}
