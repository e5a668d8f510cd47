#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Headless Chromium for tests, driven over its DevTools protocol on a pipe (no port, no
// WebSocket): one page, real mouse clicks and typed text, downloads into a folder, and
// every error the page's console or the browser's log reports. Raises std::runtime_error
// when the browser does not answer in time.
class HeadlessBrowser {
public:
    // `workDir` keeps the browser's profile and the downloads (under "downloads").
    explicit HeadlessBrowser(const QString& workDir);
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Goes to the address and waits until the page has loaded, or its download is done;
    // gives the HTTP status of the answer (0 when none came).
    int navigate(const QString& url);
    // Clicks the middle of the first element matching the CSS selector with the mouse, and
    // waits for the page it leads to.
    int clickAndWait(const QString& selector);
    // Focuses the field and types the text into it, replacing what it held.
    void type(const QString& selector, const QString& text);
    // The value of a JavaScript expression evaluated in the page.
    QJsonValue evaluate(const QString& expression);
    QByteArray screenshotPng();

    QString downloadDir() const { return downloads_; }
    // "level: text (address)" of each error since the last call, emptied by it.
    QStringList takeErrors();

private:
    QJsonObject call(const QString& method, const QJsonObject& params = {}, bool inPage = true);
    QJsonObject nextMessage(int timeoutMs);
    void note(const QJsonObject& event);
    // Waits for the navigation started by `start` to load or download.
    int awaitNavigation(const std::function<void()>& start);

    int pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    QByteArray pending_;
    QList<QJsonObject> events_;
    QString session_;
    QString downloads_;
    int nextId_ = 1;
    QStringList errors_;
};
