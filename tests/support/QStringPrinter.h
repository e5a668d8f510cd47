#pragma once

#include <QString>

#include <ostream>

// GoogleTest shows a QString in a failure as its text, quoted, instead of its bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
