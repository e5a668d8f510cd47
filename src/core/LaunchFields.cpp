#include "core/LaunchFields.h"

#include "core/AppError.h"

const QString& LaunchFields::at(int index) const
{
    if (index < 0 || index >= fields_.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fields_[index];
}

bool IsRevision(const QString& text)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}
