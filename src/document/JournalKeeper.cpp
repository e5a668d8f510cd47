#include "document/JournalKeeper.h"

#include "core/AppError.h"

#include <QFile>

JournalKeeper::JournalKeeper(std::function<JournalFile()> file, std::function<QByteArray()> snapshot, QObject* parent)
    : QObject(parent), file_(std::move(file)), snapshot_(std::move(snapshot))
{
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &JournalKeeper::flush);
}

void JournalKeeper::start()
{
    // What changed before is the work as loaded.
    started_ = true;
    dirty_ = false;
}

void JournalKeeper::markDirty()
{
    dirty_ = true;
    // Not restarted by later keys: steady typing still gets written every half second.
    if (started_ && !timer_.isActive())
        timer_.start();
}

void JournalKeeper::flush()
{
    timer_.stop();
    if (!started_ || !dirty_)
        return;
    try {
        const JournalFile file = file_();
        file.write(snapshot_());
        written_ = file.path();
        dirty_ = false;
        failing_ = false;
    } catch (const std::exception& error) {
        if (!failing_)
            emit writeFailed(ExceptionMessage(error));
        failing_ = true;
    }
}

void JournalKeeper::saved()
{
    timer_.stop();
    dirty_ = false;
    // The save may have given the run a new lecture key: the journal written under the
    // old one goes too.
    if (!written_.isEmpty())
        QFile::remove(written_);
    file_().remove();
    written_.clear();
}

void JournalKeeper::setAside()
{
    timer_.stop();
    dirty_ = false;
    file_().setAside();
    written_.clear();
}

QString JournalKeeper::offer(const Offer& offer)
{
    const JournalFile journal = file_();
    QString problem;
    try {
        const std::optional<QByteArray> bytes = journal.read();
        if (bytes && offer.differs(*bytes)) {
            if (offer.ask()) {
                offer.restore(*bytes);
                start();
                markDirty();
                return {};
            }
            journal.setAside();
        }
    } catch (const AppError& error) {
        problem = QStringLiteral("저장하지 않은 글의 복구 파일을 읽을 수 없어 따로 두었습니다 (%1). %2")
                      .arg(journal.path(), error.message());
        try {
            journal.setAside();
        } catch (const AppError& moved) {
            problem += QLatin1Char(' ') + moved.message();
        }
    }
    start();
    return problem;
}
