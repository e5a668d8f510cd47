#include "report/ReportSources.h"

#include "core/AppError.h"

DataSet& ReportSources::dataset(const QString& name) const
{
    for (const auto& [key, set] : datasets)
        if (key.compare(name, Qt::CaseInsensitive) == 0 && set)
            return *set;
    throw AppError(QStringLiteral("보고서가 찾는 자료 \"%1\"이(가) 연결되어 있지 않습니다.").arg(name));
}

QString ReportSources::valueOf(const QString& name) const
{
    if (!variable)
        throw AppError(QStringLiteral("보고서 변수 [%1]의 값을 알려 줄 곳이 없습니다.").arg(name));
    return variable(name);
}
