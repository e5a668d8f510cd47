#pragma once

#include "document/BankEntry.h"
#include "net/CourseAdditions.h"

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>

// A teacher's comment bank (문구함): the entries the course server keeps for the teacher
// and the course's stock, with a copy in the client's data folder. Every change is applied
// here at once, kept in the copy as an operation still to send, and sent; while the server
// cannot be reached the operations wait in the copy and go with the next change or the next
// run, so nothing typed is lost. Holds no widgets.
class CommentBank : public QObject {
    Q_OBJECT
public:
    // `localFile`: where the copy is kept (LocalFileFor).
    CommentBank(CourseAdditions additions, QString localFile, QObject* parent = nullptr);

    // The copy for this teacher of this server, in the data folder.
    static QString LocalFileFor(const QString& serverUrl, const QString& teacherNo);

    // At set-up: the copy read, operations left from an earlier run sent, the server's bank
    // read. Raises nothing: an unreachable server leaves the copy and a status line.
    void load();
    // The site offers the bank (or did, and cannot be reached now): the run shows it.
    bool offered() const { return offered_; }
    // One quiet line for the teacher: the server was not reached, or what it did not take.
    const QString& status() const { return status_; }
    // Operations kept in the copy, not yet taken by the server.
    int pendingCount() const { return int(pending_.size()); }

    // Own entries and stock, by position, then uses.
    const QList<BankEntry>& entries() const { return entries_; }
    QList<BankEntry> ownEntries() const;
    // Entries containing `typed` (ignoring case and surrounding blanks) for a mark of kind
    // `mark` (entries for any mark included; 0: every entry), at most `limit`.
    QList<BankEntry> matches(const QString& typed, int mark, int limit = 8) const;

    // Raise AppError for fields that cannot make an entry; nothing changes then.
    QString add(const QString& text, int mark, const QString& points);
    // All or none: every entry is checked first.
    void addAll(const QList<BankEntry>& entries);
    void edit(const QString& id, const QString& text, int mark, const QString& points);
    void remove(const QString& id);
    // Moves an own entry to `index` among the own entries.
    void moveTo(const QString& id, int index);
    // The own entries in the order of `ids` (as a list shows them after a drag).
    void reorder(const QStringList& ids);
    void countUse(const QString& id);

signals:
    void changed();

private:
    const BankEntry* find(const QString& id) const;
    BankEntry& own(const QString& id);
    QStringList ownIds() const;
    void change(const QJsonArray& ops);
    void applyLocally(const QJsonObject& op);
    void send();
    void take(const QJsonObject& answer);
    void unreachable(const QString& why);
    void sortEntries();
    void readCopy();
    void writeCopy() const;

    CourseAdditions additions_;
    QString localFile_;
    QList<BankEntry> entries_;
    QJsonArray pending_;
    bool offered_ = false;
    QString status_;
};
