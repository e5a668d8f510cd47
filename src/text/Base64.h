#pragma once

#include <QByteArray>

// Standard base64 (RFC 2045 alphabet, "=" as fill). A length that is not a multiple of
// four raises "Uneven size in DecodeToStream."; any character outside the alphabet, or a
// fill character before the end, raises an error naming it and its position.
QByteArray DecodeBase64(const QByteArray& text);
