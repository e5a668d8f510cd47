#pragma once

#include "correction/ErrorHistoryModel.h"
#include "net/CourseAdditions.h"

#include <QDialog>

class ErrorHistoryChart;
class QLabel;
class QPushButton;
class QTableView;

// The window "오류 통계": the student's error history as a chart and, below it, the same
// numbers as a table for the keyboard and screen readers; it prints, and in a teacher run
// saves the class table as CSV. It does not block the frame.
class TfrmErrorStats : public QDialog {
    Q_OBJECT
public:
    // `classTable`: offer the class table (a teacher run).
    TfrmErrorStats(QWidget* parent, CourseAdditions additions, bool classTable);

    void setHistory(ErrorHistory history);
    const ErrorHistoryModel& model() const { return *model_; }
    // "오류 통계 - 이름 (번호)"
    QString heading() const;

    // Asks the server for the class table and writes it to `path` (UTF-8 CSV, as the
    // server lays it out). Raises AppError when the server refuses or offers none, or the
    // file cannot be written; nothing is left half written.
    void saveClassCsv(const QString& path);

    QLabel* lblStudent;
    ErrorHistoryChart* chtErrorStats;
    QTableView* tblErrorStats;
    QPushButton* btnPrint;
    QPushButton* btnClassCsv;
    QPushButton* btnClose;

private:
    void print();
    void chooseClassCsv();

    CourseAdditions additions_;
    ErrorHistoryModel* model_;
};
