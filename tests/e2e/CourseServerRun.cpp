#include "CourseServerRun.h"

#include "server/CourseStore.h"

#include <QEventLoop>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

QNetworkReply* wait(QNetworkReply* reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

// Signed in with HTTP Basic as the demo teacher for a correcting launch file, else as the
// demo student (who owns the demo lecture's records).
QNetworkRequest signedIn(const QString& url)
{
    const bool teacher = url.contains(QStringLiteral("/T001/"));
    const QByteArray account =
        teacher ? QByteArray(CourseServerProcess::kTeacherNo) + ':' + CourseServerProcess::kTeacherPassword
                : QByteArray(CourseServerProcess::kStudentNo) + ':' + CourseServerProcess::kStudentPassword;
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Authorization", "Basic " + account.toBase64());
    return request;
}

}

std::optional<QByteArray> CourseServerRun::get(const QString& path) const
{
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(wait(manager.get(signedIn(server_.url() + path))));
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
        wait(manager.post(signedIn(server_.url() + QStringLiteral("/scan/") + lectureKey), form.get())));
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

std::optional<CourseServerRun::Stored> CourseServerRun::essay(const QString& lectureKey) const
{
    CourseStore store((server_.dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    const std::optional<std::string> record = store.essay(lectureKey.toStdString());
    if (!record)
        return std::nullopt;
    return Stored{QByteArray::fromStdString(*record), store.lecture(lectureKey.toStdString())->essayRevision};
}

std::optional<CourseServerRun::Stored> CourseServerRun::correction(const QString& lectureKey) const
{
    CourseStore store((server_.dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    const std::optional<std::string> record = store.correction(lectureKey.toStdString());
    if (!record)
        return std::nullopt;
    return Stored{QByteArray::fromStdString(*record), store.lecture(lectureKey.toStdString())->correctionRevision};
}

void CourseServerRun::addLecture(const QString& lectureKey, const QString& title, const QByteArray& essayRecord) const
{
    CourseStore store((server_.dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    const std::string key = lectureKey.toStdString();
    store.addLecture(key, CourseServerProcess::kStudentNo, title.toStdString(), "");
    store.saveEssay(
        {CourseServerProcess::kStudentNo, key, title.toStdString(), "N", essayRecord.toStdString(), {}, {}});
}

void CourseServerRun::correctElsewhere(const QString& lectureKey, const QByteArray& record) const
{
    CourseStore store((server_.dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    store.saveCorrection({CourseServerProcess::kTeacherNo,
                          lectureKey.toStdString(),
                          CourseServerProcess::kStudentNo,
                          record.toStdString(),
                          std::string("\xff\xd8\xff\xe0"),
                          "50",
                          "N",
                          {}});
}

int CourseServerRun::lectureCount() const
{
    CourseStore store((server_.dataDir() + QStringLiteral("/course.sqlite")).toStdString());
    return int(store.lectures().size());
}
