#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

class QNetworkReply;

// One HTTP exchange at a time, run to its end in a local event loop: the caller waits,
// while windows keep painting and taking input. Reports its work in each direction
// (sending, receiving) as begin, progress and end. Lives for one transfer.
class HttpClient : public QObject {
    Q_OBJECT
public:
    enum class Direction { Send, Receive };
    Q_ENUM(Direction)

    // A transfer during which no byte moves for this long is given up: a server that
    // accepts a connection and never answers must not hold the program forever.
    static constexpr std::chrono::milliseconds kDefaultIdleLimit{60000};
    // A whole transfer ends by then: a server that trickles a byte now and then would
    // restart the idle limit for ever.
    static constexpr std::chrono::milliseconds kDefaultDeadline{180000};

    explicit HttpClient(std::chrono::milliseconds idleLimit = kDefaultIdleLimit,
                        std::chrono::milliseconds deadline = kDefaultDeadline);

    // Stops the transfer running (the person pressed 취소); it raises a message saying so.
    void cancel();

    // Both return the reply body and raise AppError naming the address and the failure:
    // no connection, a broken transfer, an HTTP error status, silence past the idle limit,
    // an address that is not http or https, a certificate not trusted, or a body past the
    // size the transfer settings allow (a reply for a post, a download for a get).
    //
    // A post is sent once: no redirect is followed and a connection lost before the reply
    // is an error, never a second send. A get follows redirects on the same server only.
    QByteArray post(const QString& address, const QByteArray& contentType, const QByteArray& body);
    QByteArray get(const QString& address);
    // As get, but an address with nothing stored at it (404) gives no body instead of an error.
    std::optional<QByteArray> getIfStored(const QString& address);

    // An answer of one of the server's optional requests (net/CourseAdditions.h): whatever
    // its HTTP status, for the caller to judge. A redirect is an answer too, never followed.
    struct Answer {
        int status = 0;
        QByteArray contentType;
        QByteArray body;
    };
    // A GET when `jsonBody` is null, else a POST of it as application/json; `token` goes as
    // "Authorization: Bearer". Raises AppError only when no answer came (or it was too large).
    Answer call(const QString& address, const QByteArray& token, const QByteArray* jsonBody);

    // The revision of the stored record the last answer named (its header Dz-Revision),
    // digits only; empty when it named none, as a course site without revisions answers.
    const QString& revision() const { return revision_; }

signals:
    void workBegin(HttpClient::Direction direction, qint64 total);
    void work(HttpClient::Direction direction, qint64 count);
    void workEnd(HttpClient::Direction direction);

private:
    struct Work {
        bool begun = false;
        bool ended = false;
    };

    QNetworkRequest request(const QString& address) const;
    // `missing`, when given, is set for a 404 answer instead of raising; `status`, when
    // given, receives the HTTP status of any answer instead of raising for it.
    QByteArray finish(QNetworkReply* reply, const QString& address, qint64 limit, bool* missing = nullptr,
                      int* status = nullptr);
    void progress(Direction direction, qint64 done, qint64 total);
    void end(Direction direction);
    Work& state(Direction direction);

    QNetworkAccessManager manager_;
    enum class Stop { None, Cancelled, Deadline };

    std::chrono::milliseconds idleLimit_;
    std::chrono::milliseconds deadline_;
    QNetworkReply* running_ = nullptr;
    Stop stop_ = Stop::None;
    Work send_;
    Work receive_;
    QString revision_;
    QByteArray contentType_;
};
