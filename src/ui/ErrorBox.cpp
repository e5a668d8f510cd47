#include "ui/ErrorBox.h"

#include "core/AppError.h"
#include "core/AppTitle.h"
#include "ui/DialogService.h"

void ShowInfo(const QString& text)
{
    DialogService::instance().information(QStringLiteral("안내"), text);
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowErrorBox(const QString& message)
{
    DialogService::instance().error(ApplicationTitle(), ErrorBoxText(message));
}

void ShowException(const std::exception& error)
{
    ShowErrorBox(ExceptionMessage(error));
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const SilentAbort&) {
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowErrorBox(QStringLiteral("Unknown error"));
    }
}
