#pragma once

#include <QtGlobal>

// The system's millisecond tick as a 32-bit signed number: it wraps after about 25 days,
// as the stamps of stored board items always have.
qint32 TickCount();
