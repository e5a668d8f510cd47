#include "report/ReportExpression.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "report/ReportSources.h"

#include <QRegularExpression>

namespace {

[[noreturn]] void fail(const QString& text, const QString& detail)
{
    throw AppError(QStringLiteral("보고서 식 \"%1\"을 읽을 수 없습니다: %2").arg(text, detail));
}

}

ReportExpression ReportExpression::parse(const QString& text)
{
    static const QRegularExpression field(QStringLiteral(R"re(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*\.\s*"([^"]+)"\s*$)re"));
    ReportExpression result;
    result.source_ = text;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'[', from);
        if (open < 0) {
            result.parts_.append({Part::Kind::Literal, text.mid(from), {}});
            break;
        }
        if (open > from)
            result.parts_.append({Part::Kind::Literal, text.mid(from, open - from), {}});
        const qsizetype close = text.indexOf(u']', open + 1);
        if (close < 0)
            fail(text, QStringLiteral("\"[\"가 닫히지 않았습니다"));
        const QString inner = text.mid(open + 1, close - open - 1);
        const QRegularExpressionMatch match = field.match(inner);
        if (match.hasMatch())
            result.parts_.append({Part::Kind::Field, match.captured(2), match.captured(1)});
        else if (!inner.trimmed().isEmpty())
            result.parts_.append({Part::Kind::Variable, inner.trimmed(), {}});
        else
            fail(text, QStringLiteral("빈 \"[]\"가 있습니다"));
        from = close + 1;
    }
    return result;
}

bool ReportExpression::isSingleField() const
{
    return parts_.size() == 1 && parts_.front().kind == Part::Kind::Field;
}

QString ReportExpression::evaluate(const ReportSources& sources) const
{
    QString out;
    for (const Part& part : parts_) {
        switch (part.kind) {
        case Part::Kind::Literal:
            out += part.text;
            break;
        case Part::Kind::Field:
            out += sources.dataset(part.dataset).asString(part.text);
            break;
        case Part::Kind::Variable:
            out += sources.valueOf(part.text);
            break;
        }
    }
    return out;
}

QByteArray ReportExpression::fieldBytes(const ReportSources& sources) const
{
    if (!isSingleField())
        fail(source_, QStringLiteral("그림에는 [자료.\"필드\"] 하나만 쓸 수 있습니다"));
    const Part& part = parts_.front();
    return sources.dataset(part.dataset).asBytes(part.text);
}
