#pragma once

#include <string>

// Salted, slow password hashes (libsodium's Argon2id) and random secrets.
namespace Credentials {

std::string HashPassword(const std::string& password);
bool VerifyPassword(const std::string& hash, const std::string& password);
// A hash of no one's password, so that an unknown account costs as much as a known one.
const std::string& DummyHash();

// 32 random bytes as hex: a launch token, shown once, stored only as its digest.
std::string NewToken();
std::string TokenDigest(const std::string& token);

// 16 hex characters: lecture keys are unguessable, because they are the record addresses.
std::string NewLectureKey();

}
