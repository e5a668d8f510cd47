#include "core/AppError.h"
#include "text/Base64.h"

#include <gtest/gtest.h>

TEST(Base64, DecodesStandardAlphabetWithFill)
{
    const struct {
        const char* in;
        QByteArray out;
    } cases[] = {
        {"", ""},
        {"aHR0cDovL2V4YW1wbGUuY29t", "http://example.com"},
        {"YQ==", "a"},
        {"YWI=", "ab"},
        {"+/+/", QByteArray("\xFB\xFF\xBF")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeBase64(c.in), c.out) << c.in;
}

TEST(Base64, RejectsUnevenSizesAndForeignCharacters)
{
    const struct {
        const char* in;
        const char* message;
    } cases[] = {
        {"YQ=", "Uneven size in DecodeToStream."},
        {"abcde", "Uneven size in DecodeToStream."},
        {"YQ-=", "Invalid base64 character '-' at position 3 in DecodeToStream."},
        {"Y=Q=", "Invalid base64 character '=' at position 2 in DecodeToStream."},
        {"ab c", "Invalid base64 character byte 0x20 at position 3 in DecodeToStream."},
    };
    for (const auto& c : cases) {
        try {
            DecodeBase64(c.in);
            ADD_FAILURE() << "decoded " << c.in;
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message)) << c.in;
        }
    }
}
