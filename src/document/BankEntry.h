#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// An entry of a teacher's comment bank, as the course server keeps it and the client shows
// it: the teacher's own or the course's stock (read-only).
struct BankEntry {
    QString id;
    QString text;
    int mark = 0;    // the board tool ordinal of the mark it is for; 0: any
    QString points;  // "" or a whole number such as "-2"
    qint64 position = 0;
    qint64 uses = 0;
    // Raised by every change the server stores; a change names the version it was made on.
    qint64 version = 1;
    bool stock = false;

    static constexpr int kMaxText = 500;  // characters

    QJsonObject toJson() const;
    static BankEntry fromJson(const QJsonObject& json);
    // A list of entries, as the server answers it and the client's copy keeps it.
    static QJsonArray toJson(const QList<BankEntry>& entries);
    static QList<BankEntry> fromJson(const QJsonArray& json);

    // Why the fields cannot make an entry ("" when they can): an empty or too long text, a
    // mark that is not one of the board's 28, points that are not a small whole number.
    static QString problem(const QString& text, int mark, const QString& points);
    // The board tool ordinals an entry may name, in palette order of their numbers.
    static QList<int> markKinds();
    // An id a client makes for a new entry, or a stock file's row: 1 to 64 of [0-9A-Za-z-].
    static bool isId(const QString& id);
};

// The bank's exchange file: UTF-8 with the header row "text,mark,points".
namespace BankCsv {

// The rows as entries (ids left empty). Raises AppError naming the line of the first
// bad row or of text that is not UTF-8; no entry is returned then.
QList<BankEntry> Read(const QByteArray& bytes);
QByteArray Write(const QList<BankEntry>& entries);

}
