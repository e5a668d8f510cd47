#pragma once

#include "net/ShowBrowserWindow.h"

#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// For a ShowBrowserWindow call about to run its modal window: once the window's page has
// loaded, `check` sees the window and its browser view ("web"), and the window is closed
// as a user would close it. A page that does not load in a minute fails the test.
inline void WhenBrowserPageLoaded(const std::function<void(QDialog*, QObject*)>& check)
{
    auto* poll = new QTimer;
    auto* deadline = new QTimer;
    deadline->setSingleShot(true);
    const auto finish = [poll, deadline](QDialog* window) {
        if (window)
            window->close();
        poll->deleteLater();
        deadline->deleteLater();
    };
    QObject::connect(deadline, &QTimer::timeout, [finish] {
        ADD_FAILURE() << "the page did not load";
        finish(CurrentBrowserWindow());
    });
    QObject::connect(poll, &QTimer::timeout, [poll, finish, check] {
        QDialog* window = CurrentBrowserWindow();
        if (!window || !window->isVisible())
            return;
        poll->stop();
        QObject* web = window->findChild<QObject*>(QStringLiteral("web"));
        if (!web) {
            ADD_FAILURE() << "no browser view";
            finish(window);
            return;
        }
        // The view's loadFinished(bool) reaches us through a string connection, so the
        // test needs no browser headers and does not load the engine by itself.
        auto* relay = new QObject(window);
        QObject::connect(web, SIGNAL(loadFinished(bool)), relay, SLOT(deleteLater()));
        QObject::connect(relay, &QObject::destroyed, window, [window, web, check, finish] {
            check(window, web);
            finish(window);
        });
    });
    poll->start(0);
    deadline->start(60000);
}
