#include "core/AppError.h"
#include "text/Cp949.h"

#include <gtest/gtest.h>

TEST(Cp949, RoundTripsHangulHanjaAndAscii)
{
    const QString text = QStringLiteral("가나 abc 漢字 똠방각하 ？。「」\r\n");
    const QByteArray bytes = Cp949::encode(text);
    EXPECT_EQ(bytes.left(2), QByteArray("\xB0\xA1"));  // 가
    EXPECT_EQ(bytes.size(), Cp949::byteLength(text));
    EXPECT_EQ(Cp949::decode(bytes), text);
}

TEST(Cp949, ExtendedHangulOfTheUnifiedCodeIsTwoBytes)
{
    // 똠 lies outside KS X 1001 and only in the extended set.
    const QByteArray bytes = Cp949::encode(QStringLiteral("똠"));
    EXPECT_EQ(bytes.size(), 2);
    EXPECT_EQ(Cp949::decode(bytes), QStringLiteral("똠"));
}

TEST(Cp949, RefusesWhatItCannotHoldWithAMessageNamingTheCharacter)
{
    for (const QString& text : {QStringLiteral("a😀b"), QStringLiteral("x\u0E01"), QStringLiteral("\u0628")}) {
        EXPECT_FALSE(Cp949::canEncode(text)) << text.toStdString();
        try {
            Cp949::encode(text);
            ADD_FAILURE() << "encoded " << text.toStdString();
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("U+"))) << e.message().toStdString();
            EXPECT_TRUE(e.message().startsWith(u'\''));
        }
    }
}

TEST(Cp949, ByteLengthAndCuttingNeverSplitADoubleByteCharacter)
{
    const struct {
        const char* text;
        int max;
        const char* cut;
    } cases[] = {
        {"abcdef", 4, "abcd"}, {"가나다", 4, "가나"}, {"가나다", 5, "가나"}, {"a가b", 2, "a"},
        {"a가b", 3, "a가"},    {"", 3, ""},           {"가", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp949::leftBytes(QString::fromUtf8(c.text), c.max), QString::fromUtf8(c.cut))
            << c.text << " " << c.max;
    EXPECT_EQ(Cp949::byteLength(QStringLiteral("a가?")), 4);
    EXPECT_TRUE(Cp949::isHalfWidth(u'?'));
    EXPECT_TRUE(Cp949::isDoubleByte(u'？'));
}

TEST(Cp949, UndefinedBytesDecodeToReplacementNotToNothing)
{
    const QString text = Cp949::decode(QByteArray("a\xFF"
                                                  "b"));
    EXPECT_TRUE(text.startsWith(u'a'));
    EXPECT_TRUE(text.endsWith(u'b'));
    EXPECT_GE(text.size(), 3);
}

TEST(Cp949, RefusalNamesTheCharacterAndItsCode)
{
    try {
        Cp949::encode(QStringLiteral("a😀"));
        FAIL();
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("'😀' (U+1F600)"))) << e.message().toStdString();
    }
}
