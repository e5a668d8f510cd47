#include "net/HttpClient.h"

#include "core/AppError.h"
#include "net/ReplyText.h"
#include "text/Cp949.h"
#include "text/TrimControls.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

// The server's own words, when its error page is a reply in the course layout.
QString serverMessage(const QByteArray& body)
{
    if (body.size() < 4 || body.size() > 4096)
        return {};
    const ReplyText reply = SplitReply(Cp949::decode(body));
    bool numeric = false;
    reply.status.toInt(&numeric);
    return numeric ? TrimControls(reply.message) : QString();
}

}

HttpClient::HttpClient(std::chrono::milliseconds idleLimit, std::chrono::milliseconds deadline)
    : idleLimit_(idleLimit), deadline_(deadline)
{
    manager_.setProxy(QNetworkProxy::NoProxy);
}

QNetworkRequest HttpClient::request(const QString& address) const
{
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(int(idleLimit_.count()));
    return request;
}

QByteArray HttpClient::post(const QString& address, const QByteArray& contentType, const QByteArray& body)
{
    QNetworkRequest req = request(address);
    req.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    return finish(manager_.post(req, body), address);
}

QByteArray HttpClient::get(const QString& address)
{
    return finish(manager_.get(request(address)), address);
}

QByteArray HttpClient::finish(QNetworkReply* raw, const QString& address)
{
    const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(raw);
    send_ = {};
    receive_ = {};
    connect(raw, &QNetworkReply::uploadProgress, this,
            [this](qint64 done, qint64 total) { progress(Direction::Send, done, total); });
    connect(raw, &QNetworkReply::downloadProgress, this,
            [this](qint64 done, qint64 total) { progress(Direction::Receive, done, total); });
    stop_ = Stop::None;
    if (!raw->isFinished()) {
        running_ = raw;
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, raw, [this, raw] {
            stop_ = Stop::Deadline;
            raw->abort();
        });
        deadline.start(deadline_);
        QEventLoop loop;
        connect(raw, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        running_ = nullptr;
    }
    end(Direction::Send);
    end(Direction::Receive);
    if (stop_ == Stop::Cancelled)
        throw AppError(
            QStringLiteral("전송을 취소했습니다. 서버(%1)에는 아무것도 바뀌지 않았을 수 있습니다").arg(address));
    if (stop_ == Stop::Deadline)
        throw AppError(QStringLiteral("서버(%1)와의 전송이 %2초 안에 끝나지 않아 멈췄습니다. "
                                      "인터넷 연결을 확인하고 다시 시도하십시오")
                           .arg(address)
                           .arg(deadline_.count() / 1000.0));

    const QByteArray body = raw->isOpen() ? raw->readAll() : QByteArray();
    if (raw->error() == QNetworkReply::NoError)
        return body;

    const int status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        QString text = QStringLiteral("서버가 요청을 처리하지 못했습니다 (HTTP %1 %2, 주소 %3)")
                           .arg(status)
                           .arg(raw->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString(), address);
        const QString said = serverMessage(body);
        if (!said.isEmpty())
            text += QStringLiteral(": ") + said;
        throw AppError(text);
    }
    if (raw->error() == QNetworkReply::OperationCanceledError || raw->error() == QNetworkReply::TimeoutError)
        throw AppError(QStringLiteral("서버(%1)가 %2초 동안 응답하지 않아 전송을 멈췄습니다. "
                                      "잠시 후 다시 시도하십시오")
                           .arg(address)
                           .arg(idleLimit_.count() / 1000.0));
    throw AppError(QStringLiteral("서버(%1)와 통신하지 못했습니다: %2. "
                                  "인터넷 연결과 서버 주소를 확인하십시오")
                       .arg(address, raw->errorString()));
}

void HttpClient::cancel()
{
    if (!running_)
        return;
    stop_ = Stop::Cancelled;
    running_->abort();
}

HttpClient::Work& HttpClient::state(Direction direction)
{
    return direction == Direction::Send ? send_ : receive_;
}

void HttpClient::progress(Direction direction, qint64 done, qint64 total)
{
    Work& work = state(direction);
    if (work.ended)
        return;
    if (!work.begun) {
        work.begun = true;
        emit workBegin(direction, qMax<qint64>(total, 0));
    }
    emit this->work(direction, done);
    if (total >= 0 && done >= total)
        end(direction);
}

void HttpClient::end(Direction direction)
{
    Work& work = state(direction);
    if (!work.begun || work.ended)
        return;
    work.ended = true;
    emit workEnd(direction);
}
