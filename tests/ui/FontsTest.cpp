#include "ui/Fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(Fonts, GulimcheResolvesToAnInstalledKoreanFace)
{
    for (const QFont& font : {QFont(QStringLiteral("굴림체")), GulimcheFont(12, true)}) {
        const QString family = QFontInfo(font).family();
        EXPECT_TRUE(family.startsWith(QStringLiteral("Nanum"))) << family.toStdString();
        EXPECT_TRUE(QFontMetrics(font).inFont(u'한')) << "Hangul would show as boxes";
    }
}
