#pragma once

#include <optional>
#include <string>
#include <string_view>

// The client speaks code page 949; the server keeps UTF-8.

// Nothing when the bytes are not valid code page 949.
std::optional<std::string> Cp949ToUtf8(std::string_view bytes);
// Raises std::invalid_argument for text code page 949 cannot hold.
std::string Utf8ToCp949(std::string_view text);
