#include "ui/Fonts.h"

#include <QFontDatabase>
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
    // Resolved once: asking for the missing face by name makes every lookup search the
    // fallbacks again, which costs start-up time.
    static const QString family = [] {
        for (const QString& name : gulimStandIns())
            if (QFontDatabase::hasFamily(name))
                return name;
        return QStringLiteral("굴림체");
    }();
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
