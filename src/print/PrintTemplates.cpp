#include "print/PrintTemplates.h"

namespace PrintTemplates {

ReportTemplate load(QLatin1StringView name)
{
    return ReportTemplate::load(QStringLiteral(":/reports/%1.json").arg(name));
}

}
