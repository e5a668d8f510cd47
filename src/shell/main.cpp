#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "ui/DialogService.h"
#include "ui/TApplication.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    const auto window = StartClient(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    if (!window) {
        DialogService::instance().showPending();
        return 0;
    }
    return app.exec();
}
