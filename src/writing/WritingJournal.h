#pragma once

#include "document/JournalKeeper.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

class WritingSession;

// The student's recovery journal: both papers (every cell of the manuscript, the blank
// paper's text), the title, the paper shown and the writing time, kept on disk as the
// session changes (docs/recovery.md gives the format).
class WritingJournal : public QObject {
    Q_OBJECT
public:
    // What a journal holds, read back.
    struct Work {
        QString title;
        int inx = 0;
        qint64 seconds = -1;  // the writing time; negative before the timer started
        QString memo;
        QList<QStringList> lines;  // per manuscript line, the cells of columns 1 to 21

        // The same text on the same papers; the writing time does not count.
        bool sameText(const Work& other) const;
    };

    static Work capture(const WritingSession& session);
    static QByteArray toPacket(const Work& work);
    // Raises AppError when the bytes are not a writing journal.
    static Work fromPacket(const QByteArray& bytes);

    // Follows the session from now on; writes nothing before Offer.
    explicit WritingJournal(WritingSession& session, QObject* parent = nullptr);

    // Offers a journal left by an earlier run that differs from the essay shown, then
    // starts keeping this run's. Returns the message for an unreadable journal.
    QString Offer(const std::function<bool()>& ask);

    JournalKeeper& keeper() { return keeper_; }

private:
    JournalFile file() const;

    WritingSession& session_;
    JournalKeeper keeper_;
};
