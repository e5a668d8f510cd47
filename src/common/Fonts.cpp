#include "common/Fonts.h"

#include <QStringList>

void InstallFontSubstitutes()
{
    // Fixed-pitch Hangul first, like the face it stands in for; a proportional Korean
    // face last, so any machine with the set-up's fonts shows Hangul.
    const QStringList gulim{QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic"),
                            QStringLiteral("NanumBarunGothic")};
    QFont::insertSubstitutions(QStringLiteral("굴림체"), gulim);
    QFont::insertSubstitutions(QStringLiteral("굴림"), gulim);
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("NanumGothic")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic")});
}

QFont GulimcheFont(int pixelHeight, bool bold)
{
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
