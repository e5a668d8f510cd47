#pragma once

#include "correction/ErrorHistory.h"

#include <QWidget>

class QPainter;

// The error history drawn as small charts, one strip per kind of mark that occurs: the
// mark's name, a bar per essay in the order they were corrected (all strips on one scale,
// so strips compare), and the kind's total. The numbers are in ErrorHistoryModel; the
// widget only draws them.
class ErrorHistoryChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 22;
    static constexpr int kRowHeight = 44;
    static constexpr int kNameWidth = 170;
    static constexpr int kTotalWidth = 80;
    static constexpr int kMaxBarStep = 28;
    static const QColor kBarColour;

    explicit ErrorHistoryChart(QWidget* parent);
    void setHistory(const ErrorHistory& history);

    // Rows `first` to `first + count - 1` (every row when count is negative) drawn into
    // `area`, a row kRowHeight high; the printout draws page by page with it.
    static void paint(QPainter& painter, const QRect& area, const ErrorHistory& history, int first = 0, int count = -1);
    // Where the bar of essay `essay` in row `row` stands when the rows from `first` are
    // drawn into `area`; empty for a count of 0.
    static QRect barRect(const QRect& area, const ErrorHistory& history, int row, int essay, int first = 0);
    static int heightFor(int rows) { return kHeaderHeight + rows * kRowHeight; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ErrorHistory history_;
};
