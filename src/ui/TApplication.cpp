#include "ui/TApplication.h"

#include "core/AppTitle.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

#include <QLibraryInfo>
#include <QTranslator>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("dozoruderado"));
    setApplicationDisplayName(ApplicationTitle());
    InstallFontSubstitutes();
    // Qt's own buttons and dialogs speak the language of the course: 확인, 예, 아니요, 취소.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
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
