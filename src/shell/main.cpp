#include "common/TApplication.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    const auto window = StartClient(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    return window ? app.exec() : 0;
}
