#pragma once

#include <QString>

// Caption of the error box and text of the taskbar entry.
inline QString ApplicationTitle()
{
    return QStringLiteral("벨로루라임글방");
}
