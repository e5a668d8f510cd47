#include "shell/ServerMismatch.h"

#include "core/LaunchFields.h"
#include "correction/CorrectionLaunch.h"
#include "writing/WritingLaunch.h"

#include <QStringList>
#include <QUrl>

namespace {

QStringList addresses(const LaunchFields& fields)
{
    const QString& mode = fields.at(0);
    if (mode == QLatin1String("S001")) {
        const WritingLaunch launch = WritingLaunch::Read(fields);
        return {launch.essayAddress, launch.discussionAddress};
    }
    if (mode == QLatin1String("T001") || mode == QLatin1String("C001")) {
        const CorrectionLaunch launch = mode == QLatin1String("T001") ? CorrectionLaunch::TeacherLaunch(fields)
                                                                      : CorrectionLaunch::ViewLaunch(fields);
        return {launch.essayUrl, launch.correctionUrl, launch.discussionUrl};
    }
    return {};
}

QString origin(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    const int port = url.port(scheme == QLatin1String("https") ? 443 : 80);
    return scheme + QStringLiteral("://") + url.host().toLower() + u':' + QString::number(port);
}

QString shown(const QUrl& url)
{
    return url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString();
}

}

QString ServerMismatch(const LaunchFields& fields, const QString& serverUrl)
{
    QStringList found;
    try {
        found = addresses(fields);
    } catch (...) {
        return {};
    }
    const QUrl server(serverUrl);
    for (const QString& address : found) {
        const QUrl url(address.trimmed());
        if (address.trimmed().isEmpty() || !url.isValid() || url.host().isEmpty())
            continue;
        if (origin(url) != origin(server))
            return QStringLiteral("실행 파일의 글은 서버 %1에 있는데, 설정 파일(dozoruderado.ini)의 서버는 %2입니다. "
                                  "글은 %1에서 받아 오지만 저장은 %2로 보내므로, 저장한 글이 강의 목록에 나오지 "
                                  "않을 수 있습니다. 학교에 설정 파일의 서버 주소를 확인해 달라고 하십시오.")
                .arg(shown(url), serverUrl);
    }
    return {};
}
