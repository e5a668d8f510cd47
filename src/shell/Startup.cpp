#include "shell/Startup.h"

#include "shell/TfrmMain.h"
#include "ui/ErrorBox.h"

std::unique_ptr<TfrmMain> StartClient(const QStringList& arguments, const QString& configDir)
{
    if (arguments.size() < 2 || arguments[1].isEmpty()) {
        ShowInfo(QStringLiteral("이 프로그램은 단독으로 실행할수 없습니다."));
        return nullptr;
    }
    auto window = std::make_unique<TfrmMain>(arguments[1], configDir);
    window->show();
    return window;
}
