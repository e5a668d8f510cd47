#pragma once

#include "correction/ErrorHistory.h"

#include <QAbstractTableModel>

// The error history as a table, the numbers the chart draws: a row per kind of mark that
// occurs (headed by its name), a column per essay in the order they were corrected (headed
// by its title and date), and a last column of totals. A screen reader reads the chart
// through it.
class ErrorHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ErrorHistoryModel(QObject* parent = nullptr);

    void setHistory(ErrorHistory history);
    const ErrorHistory& history() const { return history_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "3. 제목 (2026-12-11)": the essay's place in time, its title and the day it was corrected.
    static QString essayCaption(const ErrorHistory& history, int essay);

private:
    ErrorHistory history_;
};
