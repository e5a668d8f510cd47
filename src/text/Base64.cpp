#include "text/Base64.h"

#include "core/AppError.h"

namespace {
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

[[noreturn]] void badCharacter(const QByteArray& text, qsizetype at)
{
    const uchar c = uchar(text[at]);
    const QString shown = c >= 0x21 && c < 0x7F ? QStringLiteral("'%1'").arg(QChar(c))
                                                : QStringLiteral("byte 0x%1").arg(c, 2, 16, QLatin1Char('0'));
    throw AppError(
        QStringLiteral("Invalid base64 character %1 at position %2 in DecodeToStream.").arg(shown).arg(at + 1));
}
}

QByteArray DecodeBase64(const QByteArray& text)
{
    if (text.size() % 4 != 0)
        throw AppError(QStringLiteral("Uneven size in DecodeToStream."));
    qsizetype fill = 0;
    if (text.endsWith("=="))
        fill = 2;
    else if (text.endsWith('='))
        fill = 1;
    const qsizetype body = text.size() - fill;
    QByteArray out;
    out.reserve(text.size() / 4 * 3);
    quint32 acc = 0;
    int bits = 0;
    for (qsizetype i = 0; i < body; ++i) {
        const int v = sextet(text[i]);
        if (v < 0)
            badCharacter(text, i);
        acc = (acc << 6) | quint32(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.append(char((acc >> bits) & 0xFF));
        }
    }
    return out;
}
