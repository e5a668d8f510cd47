#include "net/HttpClient.h"

#include "core/AppError.h"
#include "core/LaunchFields.h"
#include "core/TransferSettings.h"
#include "net/ReplyText.h"
#include "text/Cp949.h"
#include "text/TrimControls.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

#include <memory>

namespace {

// A post's body that cannot be rewound once sending began: when the connection drops before
// the reply, the network library cannot send the save a second time, and reports an error.
class OneShotBody : public QIODevice {
public:
    explicit OneShotBody(const QByteArray& bytes) : bytes_(bytes) { open(QIODevice::ReadOnly); }
    qint64 size() const override { return bytes_.size(); }
    bool reset() override { return pos() == 0 && QIODevice::reset(); }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        const qint64 n = qBound<qint64>(0, bytes_.size() - pos(), size);
        memcpy(data, bytes_.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray bytes_;  // shared, not copied
};

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
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))
        || url.host().isEmpty())
        throw AppError(QStringLiteral("주소 \"%1\"은(는) http나 https 주소가 아니어서 열지 않았습니다. "
                                      "실행 파일이나 설정의 서버 주소를 확인하십시오")
                           .arg(address));
    QNetworkRequest request{url};
    request.setTransferTimeout(int(idleLimit_.count()));
    request.setMaximumRedirectsAllowed(5);
    const QString caFile = CurrentTransferSettings().caFile;
    if (!caFile.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!tls.addCaCertificates(caFile))
            throw AppError(QStringLiteral("설정의 CAFile \"%1\"에서 인증서를 읽지 못했습니다. PEM 형식의 "
                                          "인증 기관 인증서 파일을 지정하십시오")
                               .arg(caFile));
        request.setSslConfiguration(tls);
    }
    return request;
}

QByteArray HttpClient::post(const QString& address, const QByteArray& contentType, const QByteArray& body)
{
    QNetworkRequest req = request(address);
    req.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    req.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    auto* device = new OneShotBody(body);
    QNetworkReply* reply = manager_.post(req, device);
    device->setParent(reply);
    return finish(reply, address, CurrentTransferSettings().maxReplyBytes);
}

QByteArray HttpClient::get(const QString& address)
{
    QNetworkRequest req = request(address);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    return finish(manager_.get(req), address, CurrentTransferSettings().maxDownloadBytes);
}

std::optional<QByteArray> HttpClient::getIfStored(const QString& address)
{
    QNetworkRequest req = request(address);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    bool missing = false;
    QByteArray body = finish(manager_.get(req), address, CurrentTransferSettings().maxDownloadBytes, &missing);
    if (missing)
        return std::nullopt;
    return body;
}

HttpClient::Answer HttpClient::call(const QString& address, const QByteArray& token, const QByteArray* jsonBody)
{
    QNetworkRequest req = request(address);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    req.setRawHeader("Authorization", "Bearer " + token);
    req.setRawHeader("Accept", "application/json");
    QNetworkReply* reply = nullptr;
    if (jsonBody) {
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        req.setHeader(QNetworkRequest::ContentLengthHeader, jsonBody->size());
        auto* device = new OneShotBody(*jsonBody);
        reply = manager_.post(req, device);
        device->setParent(reply);
    } else {
        reply = manager_.get(req);
    }
    Answer answer;
    answer.body = finish(reply, address, CurrentTransferSettings().maxReplyBytes, nullptr, &answer.status);
    answer.contentType = contentType_;
    return answer;
}

QByteArray HttpClient::finish(QNetworkReply* raw, const QString& address, qint64 limit, bool* missing, int* anyStatus)
{
    const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(raw);
    send_ = {};
    receive_ = {};
    revision_.clear();
    contentType_.clear();
    connect(raw, &QNetworkReply::uploadProgress, this,
            [this](qint64 done, qint64 total) { progress(Direction::Send, done, total); });
    connect(raw, &QNetworkReply::downloadProgress, this,
            [this](qint64 done, qint64 total) { progress(Direction::Receive, done, total); });
    stop_ = Stop::None;
    // Stopped as soon as the body is known to be too large, before it is held whole.
    bool tooLarge = false;
    connect(raw, &QNetworkReply::downloadProgress, this, [raw, limit, &tooLarge](qint64 done, qint64 total) {
        if (!tooLarge && (done > limit || total > limit)) {
            tooLarge = true;
            raw->abort();
        }
    });
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

    const QByteArray body = raw->isOpen() && !tooLarge ? raw->readAll() : QByteArray();
    const int status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge || body.size() > limit)
        throw AppError(QStringLiteral("서버(%1)의 답이 %2바이트를 넘어 받기를 멈췄습니다. 서버 주소가 맞는지 "
                                      "확인하고, 맞다면 설정의 %3 값을 늘리십시오")
                           .arg(address)
                           .arg(limit)
                           .arg(raw->operation() == QNetworkAccessManager::PostOperation
                                    ? QStringLiteral("MaxReplyBytes")
                                    : QStringLiteral("MaxDownloadBytes")));
    contentType_ = raw->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    if (anyStatus && status > 0) {
        *anyStatus = status;
        return body;
    }
    if (status >= 300 && status < 400) {
        const QString target = QString::fromUtf8(raw->rawHeader("Location"));
        if (raw->operation() == QNetworkAccessManager::PostOperation)
            throw AppError(QStringLiteral("서버(%1)가 다른 주소(%2)로 가라고 답했습니다 (HTTP %3). 보낸 내용은 그 "
                                          "주소로 다시 보내지 않았습니다. 설정의 서버 주소를 확인하십시오")
                               .arg(address, target)
                               .arg(status));
        throw AppError(QStringLiteral("서버(%1)가 다른 서버의 주소(%2)로 가라고 답해 따라가지 않았습니다 (HTTP %3)")
                           .arg(address, target)
                           .arg(status));
    }
    if (raw->error() == QNetworkReply::NoError) {
        const QString revision = QString::fromLatin1(raw->rawHeader("Dz-Revision")).trimmed();
        if (IsRevision(revision))
            revision_ = revision;
        return body;
    }
    if (missing && status == 404) {
        *missing = true;
        return {};
    }

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
    if (raw->operation() == QNetworkAccessManager::PostOperation
        && (raw->error() == QNetworkReply::ContentReSendError || raw->error() == QNetworkReply::RemoteHostClosedError))
        throw AppError(QStringLiteral("서버(%1)와 통신하지 못했습니다: 답을 다 받기 전에 연결이 끊겼습니다. 보낸 "
                                      "내용이 저장되었는지 알 수 없으니 잠시 후 다시 저장하십시오")
                           .arg(address));
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
