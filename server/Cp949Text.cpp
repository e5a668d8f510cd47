#include "Cp949Text.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct Closer {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// A converter that stops at the first byte or character it cannot convert.
std::unique_ptr<UConverter, Closer> strictConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, Closer> conv(ucnv_open("windows-949", &status));
    if (U_FAILURE(status))
        throw std::runtime_error("code page 949 converter missing");
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return conv;
}

}

std::optional<std::string> Cp949ToUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return std::string();
    auto conv = strictConverter();
    std::vector<UChar> wide(bytes.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_toUChars(conv.get(), wide.data(), int32_t(wide.size()), bytes.data(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    std::string out(size_t(n) * 3, '\0');
    int32_t length = 0;
    u_strToUTF8(out.data(), int32_t(out.size()), &length, wide.data(), n, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.resize(size_t(length));
    return out;
}

std::string Utf8ToCp949(std::string_view text)
{
    if (text.empty())
        return {};
    std::vector<UChar> wide(text.size() + 1);
    int32_t n = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(wide.data(), int32_t(wide.size()), &n, text.data(), int32_t(text.size()), &status);
    if (U_FAILURE(status))
        throw std::invalid_argument("text is not UTF-8");
    auto conv = strictConverter();
    std::string out(size_t(n) * 2 + 1, '\0');
    const int32_t length = ucnv_fromUChars(conv.get(), out.data(), int32_t(out.size()), wide.data(), n, &status);
    if (U_FAILURE(status))
        throw std::invalid_argument("text has characters code page 949 cannot hold");
    out.resize(size_t(length));
    return out;
}
