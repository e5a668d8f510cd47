#pragma once

#include "board/DrawTool.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

// A student's error history as the course server counts it (docs/additions.md, GET
// /api/stats/KEY): per corrected essay, in the order they were corrected, how often each
// kind of proofreading mark stands in its correction. Text notes and numbers are no marks
// and are left out.
class ErrorHistory {
public:
    struct Essay {
        QString key;
        QString title;
        QDateTime corrected;  // UTC; invalid when the server named no time
        QMap<TDrawTool, int> marks;
    };

    // More marks of a kind than any correction record can hold.
    static constexpr int kMaxCount = 1000000;

    // Raises AppError when the answer is no history (a field missing or of another type, a
    // count that is negative, fractional or above kMaxCount); kinds the client does not know
    // as marks are left out.
    static ErrorHistory fromJson(const QJsonObject& answer);

    const QString& studentNumber() const { return studentNumber_; }
    const QString& studentName() const { return studentName_; }
    const QList<Essay>& essays() const { return essays_; }
    // The kinds of mark that occur at least once, in the order of their ordinals.
    const QList<TDrawTool>& kinds() const { return kinds_; }

    int count(int essay, TDrawTool kind) const;
    // Over all essays.
    qint64 total(TDrawTool kind) const;
    // The largest count of any kind in any essay (0 for a history without marks).
    int largest() const;

private:
    QString studentNumber_;
    QString studentName_;
    QList<Essay> essays_;
    QList<TDrawTool> kinds_;
};
