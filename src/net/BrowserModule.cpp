#include "net/BrowserModule.h"

#include "net/TfrmBro.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QWebEngineView>

// Qt's own share-context slot. The engine needs a context there, and Qt fills it only when
// Qt::AA_ShareOpenGLContexts is set before the application starts, which would make every
// start-up create an OpenGL context for a window most runs never open.
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

void ensureShareContext()
{
    if (qt_gl_global_share_context())
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    // Without OpenGL (offscreen, no driver) creation fails and the engine draws in software.
    context->create();
    qt_gl_set_global_share_context(context);
}

}

QDialog* BrowserModule::createWindow(const QUrl& address)
{
    ensureShareContext();
    auto* window = new TfrmBro;
    window->web->setUrl(address);
    return window;
}
