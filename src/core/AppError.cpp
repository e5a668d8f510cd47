#include "core/AppError.h"

AppError::AppError(const QString& message) : std::runtime_error(message.toStdString()), message_(message)
{
}

QString ExceptionMessage(const std::exception& error)
{
    if (const auto* app = dynamic_cast<const AppError*>(&error))
        return app->message();
    return QString::fromUtf8(error.what());
}
