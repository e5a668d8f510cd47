#include "text/Cp949.h"

#include "core/AppError.h"

#include <unicode/ucnv.h>

#include <array>
#include <bitset>
#include <memory>

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open("windows-949", &status));
    if (U_FAILURE(status))
        throw AppError(QStringLiteral("The code page 949 converter is missing (ICU: %1)")
                           .arg(QString::fromLatin1(u_errorName(status))));
    return conv;
}

UConverter* strictConverter()
{
    thread_local Converter conv = [] {
        Converter c = openConverter();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        return c;
    }();
    ucnv_reset(conv.get());
    return conv.get();
}

// One bit per BMP code unit: can code page 949 hold it. Built once.
const std::bitset<65536>& encodable()
{
    static const std::bitset<65536> table = [] {
        std::bitset<65536> bits;
        UConverter* conv = strictConverter();
        for (int u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const UChar c = UChar(u);
            char out[8];
            UErrorCode status = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_fromUChars(conv, out, sizeof out, &c, 1, &status);
            bits[u] = U_SUCCESS(status);
        }
        return bits;
    }();
    return table;
}

}

namespace Cp949 {

bool canEncode(QChar c)
{
    return encodable()[c.unicode()];
}

bool canEncode(const QString& text)
{
    for (QChar c : text)
        if (!canEncode(c))
            return false;
    return true;
}

bool isDoubleByte(QChar c)
{
    return c.unicode() >= 0x80;
}

QByteArray encode(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!canEncode(text[i])) {
            const char32_t code = text[i].isHighSurrogate() && i + 1 < text.size()
                                      ? QChar::surrogateToUcs4(text[i], text[i + 1])
                                      : text[i].unicode();
            throw AppError(QStringLiteral("'%1' (U+%2) 글자는 완성형 한글 코드(CP949)에 없어 "
                                          "저장할 수 없습니다. 이 글자를 지우고 다시 시도하십시오")
                               .arg(QString::fromUcs4(&code, 1))
                               .arg(QString::number(uint(code), 16).rightJustified(4, u'0').toUpper()));
        }
    }
    if (text.isEmpty())
        return {};
    UConverter* conv = strictConverter();
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv, out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    if (U_FAILURE(status))
        throw AppError(QStringLiteral("Text conversion to code page 949 failed (ICU: %1)")
                           .arg(QString::fromLatin1(u_errorName(status))));
    out.truncate(n);
    return out;
}

QString decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    thread_local Converter conv = openConverter();
    ucnv_reset(conv.get());
    QString out(bytes.size(), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv.get(), reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                                    bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        throw AppError(QStringLiteral("Text conversion from code page 949 failed (ICU: %1)")
                           .arg(QString::fromLatin1(u_errorName(status))));
    out.truncate(n);
    return out;
}

int byteLength(const QString& text)
{
    int n = 0;
    for (QChar c : text)
        n += isDoubleByte(c) ? 2 : 1;
    return n;
}

QString leftBytes(const QString& text, int maxBytes)
{
    int n = 0;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const int w = isDoubleByte(text[i]) ? 2 : 1;
        if (n + w > maxBytes)
            break;
        n += w;
    }
    return text.left(i);
}

}
