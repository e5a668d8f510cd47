#include "support/CourseServerProcess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QUrl>

#include <stdexcept>

namespace {

const QString kProgram = QStringLiteral(DZ_COURSE_SERVER);

void fail(const QString& what, const QByteArray& output)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(output)).toStdString());
}

}

CourseServerProcess::CourseServerProcess(QString store, QStringList options)
    : store_(std::move(store)), options_(std::move(options))
{
}

QStringList CourseServerProcess::storeArguments() const
{
    if (store_.isEmpty())
        return {QStringLiteral("--data"), dir_->path()};
    return {QStringLiteral("--store"), store_};
}

CourseServerProcess::~CourseServerProcess()
{
    stop();
}

void CourseServerProcess::start()
{
    stop();
    if (!dir_) {
        dir_ = std::make_unique<QTemporaryDir>();
        QProcess seed;
        seed.setProcessChannelMode(QProcess::MergedChannels);
        seed.start(kProgram, QStringList{QStringLiteral("seed")} + storeArguments());
        if (!seed.waitForFinished(30000) || seed.exitCode() != 0)
            fail(QStringLiteral("course-server seed failed"), seed.readAll());
    }

    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(kProgram, storeArguments()
                                  + QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port_)}
                                  + options_);
    const QRegularExpression listening(QStringLiteral("listening on (http://\\S+:(\\d+))"));
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

bool CourseServerProcess::stop()
{
    bool clean = true;
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->terminate();
        clean = process_->waitForFinished(10000);
        if (!clean) {
            process_->kill();
            process_->waitForFinished(5000);
        }
        clean = clean && process_->exitStatus() == QProcess::NormalExit && process_->exitCode() == 0;
    }
    process_.reset();
    url_.clear();
    return clean;
}

QString CourseServerProcess::launchUrl(const QString& mode, const QString& lectureKey) const
{
    const bool teacher = mode == QStringLiteral("T001");
    QUrl url(url_ + QStringLiteral("/launch/%1/%2.dzl").arg(mode, lectureKey));
    url.setUserName(QString::fromLatin1(teacher ? kTeacherNo : kStudentNo));
    url.setPassword(QString::fromLatin1(teacher ? kTeacherPassword : kStudentPassword));
    return url.toString();
}

QString CourseServerProcess::asDemoStudent(const QString& address)
{
    QUrl url(address);
    url.setUserName(QString::fromLatin1(kStudentNo));
    url.setPassword(QString::fromLatin1(kStudentPassword));
    return url.toString();
}

qint64 CourseServerProcess::pid() const
{
    return process_ ? process_->processId() : 0;
}
