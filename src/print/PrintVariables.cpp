#include "print/PrintVariables.h"

#include "core/AppError.h"

#include <optional>

namespace PrintVariables {

namespace {

// 1 to 8 for "p1" to "p8", else 0.
int PointNumber(const QString& name)
{
    if (name.size() != 2 || name[0] != u'p' || name[1] < u'1' || name[1] > u'8')
        return 0;
    return name[1].unicode() - u'0';
}

std::optional<QString> HeadingValue(const QString& name, const Heading& heading)
{
    if (name == QLatin1String("title"))
        return heading.title;
    if (name == QLatin1String("studentno"))
        return heading.studentNo;
    if (name == QLatin1String("teacherno"))
        return heading.teacherNo;
    if (name == QLatin1String("date"))
        return heading.date.toString(Qt::ISODate);
    return std::nullopt;
}

[[noreturn]] void Unknown(const QString& name)
{
    throw AppError(QStringLiteral("출력 양식이 알 수 없는 변수 [%1]을(를) 찾습니다.").arg(name));
}

}

QString essayValue(const QString& name, const Heading& heading)
{
    if (const auto value = HeadingValue(name, heading))
        return *value;
    Unknown(name);
}

QString answerValue(const QString& name, const Heading& heading)
{
    if (const auto value = HeadingValue(name, heading))
        return *value;
    if (name != QLatin1String("reportpoint") && PointNumber(name) == 0)
        Unknown(name);
    return QString();
}

QString correctionValue(const QString& name, const Scores& scores, const Heading& heading)
{
    if (const auto value = HeadingValue(name, heading))
        return *value;
    if (name == QLatin1String("reportpoint"))
        return scores.total;
    const int point = PointNumber(name);
    if (point == 8)
        return scores.deduction ? QStringLiteral("-20") : QStringLiteral("0");
    if (point == 0)
        Unknown(name);
    return scores.points.value(point - 1);
}

}
