#include "correction/TickCount.h"

#include <chrono>

qint32 TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return qint32(quint32(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}
