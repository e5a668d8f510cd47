#include "text/IniFile.h"

#include <gtest/gtest.h>

TEST(IniFile, PrivateProfileRules)
{
    const QString text =
        QStringLiteral("; comment\r\n[other]\r\nURL=wrong\r\n[ config ]\r\n  url =  first  \r\nURL=second\r\n"
                       "title=\"quoted\"\r\nempty=\r\n");
    const IniFile ini = IniFile::fromText(text);
    EXPECT_EQ(ini.value("CONFIG", "URL"), QStringLiteral("first"));
    EXPECT_EQ(ini.value("Config", "TITLE"), QStringLiteral("quoted"));
    EXPECT_EQ(ini.value("CONFIG", "empty"), QString());
    EXPECT_FALSE(ini.value("CONFIG", "missing").has_value());
    EXPECT_FALSE(ini.value("nosection", "URL").has_value());
}

TEST(IniFile, ValueIsCutTo2047Characters)
{
    const QString longValue(3000, u'A');
    const IniFile ini = IniFile::fromText(QStringLiteral("[CONFIG]\nURL=") + longValue);
    EXPECT_EQ(ini.value("CONFIG", "URL")->size(), 2047);
}

TEST(IniFile, MissingFileGivesNoValue)
{
    const IniFile ini = IniFile::load(QStringLiteral("/nonexistent/dozoruderado.ini"));
    EXPECT_FALSE(ini.value("CONFIG", "URL").has_value());
}
