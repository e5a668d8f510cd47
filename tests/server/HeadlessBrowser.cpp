#include "HeadlessBrowser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr int kTimeoutMs = 30000;

}

HeadlessBrowser::HeadlessBrowser(const QString& workDir)
    : downloads_(QDir(workDir).filePath(QStringLiteral("downloads")))
{
    QDir().mkpath(downloads_);
    int commands[2];
    int answers[2];
    if (pipe(commands) != 0 || pipe(answers) != 0)
        throw std::runtime_error("no pipe for the browser");
    const QByteArray profile = ("--user-data-dir=" + QDir(workDir).filePath(QStringLiteral("profile"))).toLocal8Bit();
    const QByteArray log = QDir(workDir).filePath(QStringLiteral("chromium.log")).toLocal8Bit();
    std::vector<QByteArray> args{"chromium",
                                 "--headless",
                                 "--no-sandbox",
                                 "--disable-gpu",
                                 "--remote-debugging-pipe",
                                 profile,
                                 "--no-first-run",
                                 "--no-default-browser-check",
                                 "--disable-background-networking",
                                 "--disable-component-update",
                                 "--disable-sync",
                                 "--disable-extensions",
                                 "--password-store=basic",
                                 "--lang=ko",
                                 "--window-size=1280,900",
                                 "about:blank"};
    // Ready before the fork: the child of a program with threads may not allocate.
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot start the browser");
    if (pid_ == 0) {
        // The protocol's pipe is the child's descriptors 3 (commands in) and 4 (answers out);
        // moved out of the way first, in case a pipe end is 3 or 4 already.
        const int in = fcntl(commands[0], F_DUPFD, 10);
        const int out = fcntl(answers[1], F_DUPFD, 10);
        dup2(in, 3);
        dup2(out, 4);
        const int logged = open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(logged, 1);
        dup2(logged, 2);
        for (int fd = 5; fd < 1024; ++fd)
            close(fd);
        execvp("chromium", argv.data());
        _exit(127);
    }
    close(commands[0]);
    close(answers[1]);
    toBrowser_ = commands[1];
    fromBrowser_ = answers[0];

    QString target;
    const QJsonArray targets = call(QStringLiteral("Target.getTargets"), {}, false)[u"targetInfos"].toArray();
    for (const QJsonValue& info : targets)
        if (info[u"type"].toString() == QLatin1String("page"))
            target = info[u"targetId"].toString();
    if (target.isEmpty())
        throw std::runtime_error("the browser has no page");
    session_ =
        call(QStringLiteral("Target.attachToTarget"), {{"targetId", target}, {"flatten", true}}, false)[u"sessionId"]
            .toString();
    call(QStringLiteral("Browser.setDownloadBehavior"),
         {{"behavior", "allow"}, {"downloadPath", downloads_}, {"eventsEnabled", true}}, false);
    for (const char* domain : {"Page.enable", "Runtime.enable", "Log.enable", "Network.enable"})
        call(QString::fromLatin1(domain));
}

HeadlessBrowser::~HeadlessBrowser()
{
    if (toBrowser_ >= 0)
        close(toBrowser_);
    if (fromBrowser_ >= 0)
        close(fromBrowser_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            usleep(50000);
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
}

QJsonObject HeadlessBrowser::call(const QString& method, const QJsonObject& params, bool inPage)
{
    const int id = nextId_++;
    QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
    if (inPage)
        message.insert(QStringLiteral("sessionId"), session_);
    const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0';
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = write(toBrowser_, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n <= 0)
            throw std::runtime_error("the browser's pipe is closed");
        sent += n;
    }
    for (;;) {
        const QJsonObject answer = nextMessage(kTimeoutMs);
        if (answer[u"id"].toInt() == id) {
            if (answer.contains(u"error"))
                throw std::runtime_error(method.toStdString() + ": "
                                         + answer[u"error"][u"message"].toString().toStdString());
            return answer[u"result"].toObject();
        }
        if (answer.contains(u"method"))
            note(answer);
    }
}

QJsonObject HeadlessBrowser::nextMessage(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qsizetype end = pending_.indexOf('\0');
        if (end >= 0) {
            const QByteArray message = pending_.left(end);
            pending_.remove(0, end + 1);
            return QJsonDocument::fromJson(message).object();
        }
        const int left = timeoutMs - int(clock.elapsed());
        pollfd wait{fromBrowser_, POLLIN, 0};
        if (left <= 0 || poll(&wait, 1, left) <= 0)
            throw std::runtime_error("the browser did not answer in time");
        char buffer[65536];
        const ssize_t n = read(fromBrowser_, buffer, sizeof buffer);
        if (n <= 0)
            throw std::runtime_error("the browser ended");
        pending_.append(buffer, n);
    }
}

void HeadlessBrowser::note(const QJsonObject& event)
{
    const QString method = event[u"method"].toString();
    const QJsonObject params = event[u"params"].toObject();
    if (method == QLatin1String("Runtime.consoleAPICalled") && params[u"type"].toString() == QLatin1String("error"))
        errors_ << QStringLiteral("console: ")
                       + QString::fromUtf8(QJsonDocument(params[u"args"].toArray()).toJson(QJsonDocument::Compact));
    else if (method == QLatin1String("Runtime.exceptionThrown"))
        errors_ << QStringLiteral("exception: ") + params[u"exceptionDetails"][u"text"].toString();
    else if (method == QLatin1String("Log.entryAdded")
             && params[u"entry"][u"level"].toString() == QLatin1String("error"))
        errors_ << QStringLiteral("%1: %2 (%3)")
                       .arg(params[u"entry"][u"source"].toString(), params[u"entry"][u"text"].toString(),
                            params[u"entry"][u"url"].toString());
    events_.append(event);
}

int HeadlessBrowser::awaitNavigation(const std::function<void()>& start)
{
    events_.clear();
    start();
    int status = 0;
    QElapsedTimer clock;
    clock.start();
    for (qsizetype seen = 0;; ++seen) {
        while (seen >= events_.size()) {
            const int left = kTimeoutMs - int(clock.elapsed());
            if (left <= 0)
                throw std::runtime_error("the page did not load in time");
            note(nextMessage(left));
        }
        const QJsonObject& event = events_[seen];
        const QString method = event[u"method"].toString();
        const QJsonObject params = event[u"params"].toObject();
        if (method == QLatin1String("Network.responseReceived")
            && params[u"type"].toString() == QLatin1String("Document"))
            status = params[u"response"][u"status"].toInt();
        if (method == QLatin1String("Page.loadEventFired"))
            return status;
        if (method == QLatin1String("Browser.downloadProgress")) {
            const QString state = params[u"state"].toString();
            if (state == QLatin1String("completed"))
                return status;
            if (state == QLatin1String("canceled"))
                return 0;
        }
    }
}

int HeadlessBrowser::navigate(const QString& url)
{
    return awaitNavigation([&] { call(QStringLiteral("Page.navigate"), {{"url", url}}); });
}

int HeadlessBrowser::clickAndWait(const QString& selector)
{
    const QJsonObject box =
        evaluate(QStringLiteral("(() => { const r = document.querySelector(%1).getBoundingClientRect();"
                                " return {x: r.x + r.width / 2, y: r.y + r.height / 2}; })()")
                     .arg(QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact))
                              .mid(1)
                              .chopped(1)))
            .toObject();
    return awaitNavigation([&] {
        for (const char* type : {"mousePressed", "mouseReleased"})
            call(QStringLiteral("Input.dispatchMouseEvent"), {{"type", type},
                                                              {"x", box[u"x"].toDouble()},
                                                              {"y", box[u"y"].toDouble()},
                                                              {"button", "left"},
                                                              {"clickCount", 1}});
    });
}

void HeadlessBrowser::type(const QString& selector, const QString& text)
{
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    evaluate(QStringLiteral("(() => { const e = document.querySelector(%1); e.focus(); e.select(); })()").arg(quoted));
    call(QStringLiteral("Input.insertText"), {{"text", text}});
}

QJsonValue HeadlessBrowser::evaluate(const QString& expression)
{
    const QJsonObject result = call(QStringLiteral("Runtime.evaluate"),
                                    {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
    if (result.contains(u"exceptionDetails"))
        throw std::runtime_error("script failed: " + expression.toStdString());
    return result[u"result"][u"value"];
}

QByteArray HeadlessBrowser::screenshotPng()
{
    return QByteArray::fromBase64(
        call(QStringLiteral("Page.captureScreenshot"), {{"format", "png"}})[u"data"].toString().toLatin1());
}

QStringList HeadlessBrowser::takeErrors()
{
    // Events that came while no one waited are read now.
    evaluate(QStringLiteral("0"));
    return std::exchange(errors_, {});
}
