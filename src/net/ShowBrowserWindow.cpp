#include "net/ShowBrowserWindow.h"

#include "core/AppError.h"
#include "net/BrowserPlugin.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPluginLoader>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

#include <unistd.h>

namespace {

QPointer<QDialog> current;

BrowserPlugin* browserModule(QString& problem)
{
    // Beside the program; never unloaded, as the engine cannot be started twice.
    static QPluginLoader loader(QCoreApplication::applicationDirPath() + QStringLiteral("/dz_browser"));
    auto* plugin = qobject_cast<BrowserPlugin*>(loader.instance());
    if (!plugin)
        problem = QStringLiteral("브라우저 모듈을 읽지 못했습니다: %1").arg(loader.errorString());
    return plugin;
}

// The engine does not start as root with its sandbox on, and ends the whole program as it
// refuses: it is not started then.
QString engineRefusal()
{
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")
        || qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-sandbox"))
        return {};
    return QStringLiteral("관리자(root) 권한으로 실행 중이라 브라우저 엔진이 시작되지 않습니다. "
                          "일반 사용자로 프로그램을 실행해 주십시오.");
}

// A discussion window that says why the page cannot be shown; the rest of the program
// goes on as it was.
QDialog* refusalWindow(const QString& problem)
{
    auto* window =
        new QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setObjectName(QStringLiteral("frmBro"));
    window->setWindowTitle(QStringLiteral("토의사항"));
    auto* message = new QLabel(QStringLiteral("토의사항 창을 열 수 없습니다. ") + problem, window);
    message->setObjectName(QStringLiteral("lblError"));
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* close = new QPushButton(QStringLiteral("닫기"), window);
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, window, &QDialog::reject);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(message, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    window->resize(581, 339);
    return window;
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
    QString problem = engineRefusal();
    BrowserPlugin* module = problem.isEmpty() ? browserModule(problem) : nullptr;
    const std::unique_ptr<QDialog> window(module ? module->createWindow(url) : refusalWindow(problem));
    current = window.get();
    window->exec();
}

QDialog* CurrentBrowserWindow()
{
    return current;
}
