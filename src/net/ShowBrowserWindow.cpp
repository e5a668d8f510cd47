#include "net/ShowBrowserWindow.h"

#include "core/AppError.h"
#include "net/BrowserPlugin.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPluginLoader>
#include <QPointer>
#include <QUrl>

#include <memory>

namespace {

QPointer<QDialog> current;

BrowserPlugin& browserModule()
{
    // Beside the program; never unloaded, as the engine cannot be started twice.
    static QPluginLoader loader(QCoreApplication::applicationDirPath() + QStringLiteral("/dz_browser"));
    auto* plugin = qobject_cast<BrowserPlugin*>(loader.instance());
    if (!plugin)
        throw AppError(QStringLiteral("토의사항 창을 열 수 없습니다. 브라우저 모듈을 읽지 못했습니다: %1")
                           .arg(loader.errorString()));
    return *plugin;
}

}

void ShowBrowserWindow(const QString& address)
{
    // The course site's page: a web address and nothing else (no files, no scripts).
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw AppError(
            QStringLiteral("토의사항 주소 \"%1\"을(를) 열 수 없습니다. 올바른 웹 주소가 아닙니다.").arg(address));
    const std::unique_ptr<QDialog> window(browserModule().createWindow(url));
    current = window.get();
    window->exec();
}

QDialog* CurrentBrowserWindow()
{
    return current;
}
