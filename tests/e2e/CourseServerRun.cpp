#include "CourseServerRun.h"

#include "server/CourseStore.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

#include <stdexcept>

namespace {

const QString kProgram = QStringLiteral(DZ_COURSE_SERVER);

[[noreturn]] void fail(const QString& what, const QByteArray& output)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(output)).toStdString());
}

QNetworkReply* wait(QNetworkReply* reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

}

CourseServerRun::CourseServerRun()
{
    QProcess seed;
    seed.setProcessChannelMode(QProcess::MergedChannels);
    seed.start(kProgram, {QStringLiteral("seed"), QStringLiteral("--data"), dir_.path()});
    if (!seed.waitForFinished(30000) || seed.exitCode() != 0)
        fail(QStringLiteral("course-server seed failed"), seed.readAll());
}

CourseServerRun::~CourseServerRun()
{
    stop();
}

void CourseServerRun::start()
{
    stop();
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(kProgram, {QStringLiteral("--data"), dir_.path(), QStringLiteral("--listen"),
                               QStringLiteral("127.0.0.1:%1").arg(port_)});
    const QRegularExpression listening(QStringLiteral("listening on (http://127\\.0\\.0\\.1:(\\d+))"));
    QByteArray output;
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (!process_->canReadLine() && !process_->waitForReadyRead(int(deadline.remainingTime()))) {
            if (process_->state() == QProcess::NotRunning)
                break;
            continue;
        }
        while (process_->canReadLine()) {
            const QByteArray line = process_->readLine();
            output += line;
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(line));
            if (match.hasMatch()) {
                url_ = match.captured(1);
                port_ = match.captured(2).toInt();
                return;
            }
        }
    }
    output += process_->readAll();
    stop();
    fail(QStringLiteral("course-server did not start"), output);
}

void CourseServerRun::stop()
{
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(10000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    process_.reset();
}

std::optional<QByteArray> CourseServerRun::get(const QString& path) const
{
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(wait(manager.get(QNetworkRequest(QUrl(url_ + path)))));
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return std::nullopt;
    return reply->readAll();
}

int CourseServerRun::uploadScannedPages(const QString& lectureKey, const QList<QByteArray>& pages) const
{
    const auto form = std::make_unique<QHttpMultiPart>(QHttpMultiPart::FormDataType);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("image/jpeg"));
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"page\"; filename=\"page%1.jpg\"").arg(i + 1));
        part.setBody(pages[i]);
        form->append(part);
    }
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(
        wait(manager.post(QNetworkRequest(QUrl(url_ + QStringLiteral("/scan/") + lectureKey)), form.get())));
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

std::optional<CourseServerRun::Stored> CourseServerRun::essay(const QString& lectureKey) const
{
    CourseStore store((dir_.path() + QStringLiteral("/course.sqlite")).toStdString());
    const std::optional<std::string> record = store.essay(lectureKey.toStdString());
    if (!record)
        return std::nullopt;
    return Stored{QByteArray::fromStdString(*record), store.lecture(lectureKey.toStdString())->essayRevision};
}

int CourseServerRun::lectureCount() const
{
    CourseStore store((dir_.path() + QStringLiteral("/course.sqlite")).toStdString());
    return int(store.lectures().size());
}
