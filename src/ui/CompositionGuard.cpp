#include "ui/CompositionGuard.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QPointer>

CompositionGuard::CompositionGuard(QObject* application) : QObject(application)
{
    application->installEventFilter(this);
    // Qt commits the composition to the widget losing the focus; the input method may repeat it.
    connect(qGuiApp, &QGuiApplication::focusObjectChanged, this, [this] { tracker_.Committed(); });
}

CompositionGuard* CompositionGuard::instance()
{
    static QPointer<CompositionGuard> guard;
    if (!guard)
        guard = new CompositionGuard(qGuiApp);
    return guard;
}

void CompositionGuard::Install()
{
    instance();
}

void CompositionGuard::CommitComposition()
{
    instance()->commit();
}

void CompositionGuard::commit()
{
    // Qt's IBus module hands the pre-edit over on commit(); fcitx5's only on reset().
    QGuiApplication::inputMethod()->commit();
    if (tracker_.Composing())
        QGuiApplication::inputMethod()->reset();
    tracker_.Committed();
}

bool CompositionGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::InputMethod: {
        const auto* update = static_cast<QInputMethodEvent*>(event);
        if (tracker_.Update(update->commitString(), update->preeditString()))
            return false;
        if (!update->preeditString().isEmpty()) {
            QInputMethodEvent rest(update->preeditString(), update->attributes());
            QCoreApplication::sendEvent(watched, &rest);
        }
        return true;
    }
    case QEvent::KeyPress:
        tracker_.KeyPressed();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (tracker_.Composing())
            commit();
        return false;
    default:
        return false;
    }
}
