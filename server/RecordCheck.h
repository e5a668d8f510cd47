#pragma once

#include <string>

// Records are read on arrival with the client's own record code, so that one the client
// could not open, or one too large to lay out, is refused at the door. Both raise Refusal
// (400) with the reason.
inline constexpr int kMaxRecordPages = 100;
inline constexpr int kMaxCorrectionRows = 20000;

void CheckEssayRecord(const std::string& packet);
void CheckCorrectionRecord(const std::string& packet);
