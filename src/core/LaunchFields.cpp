#include "core/LaunchFields.h"

#include "core/AppError.h"

const QString& LaunchFields::at(int index) const
{
    if (index < 0 || index >= fields_.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fields_[index];
}
