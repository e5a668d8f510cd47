#include "print/PrintDataSets.h"

namespace PrintDataSets {

QList<FieldDef> essayPrint()
{
    QList<FieldDef> fields;
    for (int n = 1; n <= 20; ++n)
        fields.append({QStringLiteral("L%1").arg(n), FieldType::String, kCellSize});
    fields.append({QStringLiteral("L21"), FieldType::Memo, 0});
    fields.append({QStringLiteral("LText"), FieldType::Memo, 0});
    fields.append({QStringLiteral("LImage"), FieldType::Picture, 0});
    return fields;
}

QList<FieldDef> correctionPrint()
{
    QList<FieldDef> fields = essayPrint();
    fields.append({QStringLiteral("LC"), FieldType::Memo, 0});
    fields.append({QStringLiteral("PAGE"), FieldType::String, kCellSize});
    return fields;
}

QList<FieldDef> reviewPrint()
{
    return {{QStringLiteral("L1"), FieldType::String, kReviewLineSize}};
}

}
