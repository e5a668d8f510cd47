#pragma once

#include "report/ReportTemplate.h"

// The report templates built into the program (resources/reports).
namespace PrintTemplates {

// The essay print of the writing frame.
inline constexpr QLatin1StringView kEssayPrint{"essay-print"};

// Reads :/reports/<name>.json afresh, so each print may change its copy freely.
ReportTemplate load(QLatin1StringView name);

}
