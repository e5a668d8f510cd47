#include "ui/TApplication.h"

#include "core/AppTitle.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

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
