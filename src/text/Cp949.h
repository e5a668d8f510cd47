#pragma once

#include <QByteArray>
#include <QString>

// Code page 949 text at every outside boundary: ASCII one byte, Hangul and Hanja two.
namespace Cp949 {

// Raises an error naming the first character code page 949 cannot hold; never writes "?".
QByteArray encode(const QString& text);
// Bytes that are not code page 949 come back as U+FFFD.
QString decode(const QByteArray& bytes);

bool canEncode(QChar c);
bool canEncode(const QString& text);
// Characters code page 949 cannot hold count as two bytes.
bool isDoubleByte(QChar c);
inline bool isHalfWidth(QChar c)
{
    return !isDoubleByte(c);
}

int byteLength(const QString& text);
// The longest prefix of at most maxBytes bytes; a double-byte character is never split.
QString leftBytes(const QString& text, int maxBytes);

}
