#include "ui/Fonts.h"

#include <QStringList>

namespace {
// Fixed-pitch Hangul first, like the face it stands in for; proportional Korean faces
// last, so any machine with the set-up's fonts shows Hangul.
QStringList gulimStandIns()
{
    return {QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic")};
}
}

void InstallFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("굴림체"), gulimStandIns());
    QFont::insertSubstitutions(QStringLiteral("굴림"), gulimStandIns());
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                         QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic")});
}

QFont GulimcheFont(int pixelHeight, bool bold)
{
    // The stand-ins by name, first: asking for the missing face would search the fallbacks
    // at every lookup. Which one is installed is found when text is first laid out, so that
    // making a font does not wait for the font database.
    static const QStringList families = gulimStandIns() << QStringLiteral("굴림체");
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
