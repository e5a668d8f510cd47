#include "common/TApplication.h"

#include "common/AppTitle.h"
#include "common/ErrorBox.h"
#include "common/Fonts.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("dozoruderado"));
    setApplicationDisplayName(ApplicationTitle());
    InstallFontSubstitutes();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}
