#pragma once

#include <QString>

// Trims characters of code 32 or less from both ends (not other white space): the trim
// that launch fields, server replies and typed cell texts get.
QString TrimControls(const QString& text);
