#pragma once

#include "dataset/DataSet.h"
#include "document/CorrectionRecord.h"
#include "document/JournalKeeper.h"

#include <QObject>
#include <QStringList>

#include <functional>

class CorrectionSession;

// The teacher's recovery journal: every stored page of a board correction (marks and
// comments, the page on the board included), the page shown, the review, the scores, the
// deduction and the total, and the pictures of a handwritten correction; kept on disk as
// the work changes (docs/recovery.md gives the format).
class CorrectionJournal : public QObject {
    Q_OBJECT
public:
    struct Work {
        int mode = 0;
        int page = 0;
        QString review;
        QStringList points;
        bool deduction = false;
        QString total;
        DataSet boardPages;  // correction record rows: marks and page rows
        DataSet pictures;    // correction record rows: the handwritten pages

        // The same correction; the page shown does not count.
        bool sameWork(Work& other);
    };

    // The work as the session holds it, the page shown included.
    static Work capture(CorrectionSession& session);
    static QByteArray toPacket(Work& work);
    // Raises AppError when the bytes are not a correction journal.
    static Work fromPacket(const QByteArray& bytes);

    explicit CorrectionJournal(CorrectionSession& session, QObject* parent = nullptr);

    // Offers a journal left by an earlier run that differs from the correction loaded, then
    // starts keeping this run's. `restore` shows the work read back. Returns the message for
    // an unreadable journal.
    QString Offer(const std::function<bool()>& ask, const std::function<void(const Work&)>& restore);

    JournalKeeper& keeper() { return keeper_; }

private:
    JournalFile file() const;

    CorrectionSession& session_;
    JournalKeeper keeper_;
};
