#include "BrowserWindowWatch.h"
#include "FakeHttpServer.h"
#include "core/AppError.h"
#include "net/ShowBrowserWindow.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

bool browserEngineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// Serves the discussion page and counts the times it is fetched.
struct DiscussionSite {
    FakeHttpServer server;
    int fetched = 0;

    DiscussionSite()
    {
        server.respond = [this](const QByteArray& request) -> QByteArray {
            if (!request.startsWith("GET /discussion "))
                return FakeHttpServer::response(404, "Not Found", QByteArray());
            ++fetched;
            const QByteArray page = QStringLiteral("<html><head><title>토의 주제 %1</title></head>"
                                                   "<body>이번 주 토의</body></html>")
                                        .arg(fetched)
                                        .toUtf8();
            return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                   + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
        };
    }
};

}

// First in this program, so nothing has loaded the engine before.
TEST(BrowserWindow, OpensThePageModallyLoadingTheEngineOnlyThen)
{
    EXPECT_FALSE(browserEngineLoaded());
    DiscussionSite site;
    bool checked = false;
    WhenBrowserPageLoaded([&](QDialog* window, QObject* web) {
        checked = true;
        EXPECT_EQ(window->windowTitle(), QStringLiteral("토의사항"));
        EXPECT_EQ(window->objectName(), QStringLiteral("frmBro"));
        EXPECT_TRUE(window->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), window);
        EXPECT_EQ(web->property("title").toString(), QStringLiteral("토의 주제 1"));
        EXPECT_TRUE(browserEngineLoaded());
    });
    ShowBrowserWindow(site.server.url(QStringLiteral("/discussion")));
    EXPECT_TRUE(checked);
    EXPECT_EQ(site.fetched, 1);
}

TEST(BrowserWindow, EachCallOpensANewWindowThatLoadsThePageAfresh)
{
    DiscussionSite site;
    QList<QPointer<QDialog>> windows;
    QStringList titles;
    for (int i = 0; i < 2; ++i) {
        WhenBrowserPageLoaded([&](QDialog* window, QObject* web) {
            windows << window;
            titles << web->property("title").toString();
        });
        // Blanks around the address, as a launch field may carry them.
        ShowBrowserWindow(QStringLiteral(" ") + site.server.url(QStringLiteral("/discussion")) + QStringLiteral(" "));
    }
    EXPECT_EQ(titles, QStringList({"토의 주제 1", "토의 주제 2"}));
    ASSERT_EQ(windows.size(), 2);
    EXPECT_TRUE(windows[0].isNull());  // released once closed
    EXPECT_TRUE(windows[1].isNull());
    EXPECT_EQ(CurrentBrowserWindow(), nullptr);
}

TEST(BrowserWindow, AnAddressThatIsNoWebAddressIsAnErrorAndOpensNoWindow)
{
    // Should a window open after all, close it, so the test fails instead of waiting.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QDialog* window = CurrentBrowserWindow()) {
            ADD_FAILURE() << "a window opened";
            window->close();
        }
    });
    guard.start(100);
    for (const QString& address : {QStringLiteral("   "), QStringLiteral("http://[::1"),
                                   QStringLiteral("file:///etc/passwd"), QStringLiteral("javascript:alert(1)")}) {
        try {
            ShowBrowserWindow(address);
            ADD_FAILURE() << address.toStdString();
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("토의사항 주소"))) << error.message().toStdString();
        }
        EXPECT_EQ(CurrentBrowserWindow(), nullptr);
    }
}

TEST(BrowserWindow, EscClosesItWhereverTheFocusIs)
{
    DiscussionSite site;
    bool closed = false;
    WhenBrowserPageLoaded([&](QDialog* window, QObject* web) {
        auto* view = qobject_cast<QWidget*>(web);
        ASSERT_TRUE(view);
        view->setFocus();
        QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : view;
        QTest::keyClick(focused, Qt::Key_Escape);
        closed = !window->isVisible();
    });
    ShowBrowserWindow(site.server.url(QStringLiteral("/discussion")));
    EXPECT_TRUE(closed);
    EXPECT_EQ(CurrentBrowserWindow(), nullptr);
}

// Run as root with its sandbox on, the engine would refuse to start and end the program with
// it: the discussion window says why instead, and the caller goes on.
TEST(BrowserWindow, AnEngineThatCannotStartIsToldInItsWindowOnly)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the engine refuses only to run as root";
    const QByteArray sandbox = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    const auto restore = qScopeGuard([&] {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandbox);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    });

    QString told;
    bool modal = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QDialog* window = CurrentBrowserWindow();
        if (!window || !window->isVisible())
            return;
        poll.stop();
        modal = window->isModal() && window->windowTitle() == QStringLiteral("토의사항");
        if (auto* message = window->findChild<QLabel*>(QStringLiteral("lblError")))
            told = message->text();
        QPushButton* close = window->findChild<QPushButton*>();
        ASSERT_TRUE(close);
        QTest::mouseClick(close, Qt::LeftButton);
    });
    poll.start(20);
    EXPECT_NO_THROW(ShowBrowserWindow(QStringLiteral("http://127.0.0.1:1/discussion")));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(told.startsWith(QStringLiteral("토의사항 창을 열 수 없습니다. 관리자(root)"))) << told.toStdString();
    EXPECT_EQ(CurrentBrowserWindow(), nullptr);
}
