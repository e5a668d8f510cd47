#include "ui/TApplication.h"

#include "core/AppTitle.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QThread>
#include <QTranslator>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("dozoruderado"));
    setApplicationDisplayName(ApplicationTitle());
    InstallFontSubstitutes();
    // The first text laid out waits for the font database; reading it takes as long as
    // building the window, on a core that is otherwise idle then.
    fontReader_.reset(QThread::create([] { QFontDatabase::families(); }));
    fontReader_->start();
    // Qt's own buttons and dialogs speak the language of the course: 확인, 예, 아니요, 취소.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

TApplication::~TApplication()
{
    fontReader_->wait();
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
