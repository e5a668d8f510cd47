#include "shell/LaunchFile.h"
#include "text/Cp949.h"

#include <gtest/gtest.h>

TEST(LaunchFile, SplitsLinesAndFieldsAndTrimsOnlyTheLast)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList fields;
    } cases[] = {
        {"CR LF after the last line",
         "S001\x03"
         "a\x03"
         "b\r\n",
         {"S001", "a", "b"}},
        {"no line break",
         "S001\x03"
         "a\x03"
         "b",
         {"S001", "a", "b"}},
        {"NUL ends the text",
         QByteArray("T001\x03"
                    "x\0\x03"
                    "y",
                    10),
         {"T001", "x"}},
        {"one field", "T001", {"T001"}},
        {"lower-case mode kept",
         "s001\x03"
         "a",
         {"s001", "a"}},
        {"blank after mode kept",
         "S001 \x03"
         "a",
         {"S001 ", "a"}},
        {"LF inside a field becomes CR LF",
         "S001\x03"
         "line1\nline2\x03"
         "z",
         {"S001", "line1\r\nline2", "z"}},
        {"lone CR becomes CR LF",
         "S001\x03"
         "a\rb\x03"
         "z",
         {"S001", "a\r\nb", "z"}},
        {"trailing 0x03 gives an empty last field",
         "S001\x03"
         "a\x03\r\n",
         {"S001", "a", ""}},
        {"inner fields keep their blanks", "S001\x03  a  \x03  z \t", {"S001", "  a  ", "z"}},
        {"empty file", "", {""}},
        {"blank last line kept before trimming",
         "S001\x03"
         "a\r\n\r\n",
         {"S001", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaunchFile::split(c.bytes).all(), c.fields) << c.name;
}

TEST(LaunchFile, FieldsAreCodePage949Text)
{
    const QByteArray bytes = "S001\x03" + Cp949::encode(QStringLiteral("김철수"))
                             + "\x03"
                               "x";
    EXPECT_EQ(LaunchFile::split(bytes).at(1), QStringLiteral("김철수"));
}
