#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// The manuscript sheet's cells without widgets: a table model of 22 columns that the
// writing frame's view shows and the cell editor edits. Column 0 is the line counter
// (computed, never stored), columns 1 to 20 the writing cells, column 21 the margin cell.
// Lines count from 0 and their number grows and shrinks on demand.
//
// Changes are announced through the model's own signals: dataChanged for cell texts,
// rowsInserted / rowsRemoved for lines, modelReset for reset(). A blank cell is empty or
// a single space; both mean the same.
class ManuscriptGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 22;
    static constexpr int kCounterColumn = 0;
    static constexpr int kFirstCellColumn = 1;
    static constexpr int kLastCellColumn = 20;
    static constexpr int kMarginColumn = 21;
    static constexpr int kStoredColumns = 21;  // 1 to 21
    static constexpr int kMinimumLines = 21;   // the writing frame never shows fewer

    explicit ManuscriptGrid(int lineCount = 0, QObject* parent = nullptr);

    int lineCount() const { return lines_; }

    // Column 0 gives the counter text. Out-of-range places raise an error.
    QString cell(int line, int column) const;
    // Columns 1 to 21 only; a text holding a line break is refused, as it would shift every
    // later line of the column when the sheet is stored.
    void setCell(int line, int column, const QString& text);
    bool isBlank(int line, int column) const;

    // Sets the cells of one column from line 0 down, one signal for the run; lines past the
    // end of `texts` keep their cells, texts past the last line are ignored.
    void setColumn(int column, const QStringList& texts);

    void insertLines(int line, int count);  // blank lines before `line` (lineCount() appends)
    void removeLines(int line, int count);
    void setLineCount(int count);  // blank lines added or the last ones removed
    void reset(int lineCount);     // every cell blank, that many lines

    // The cell stream, in which the cell editor moves the rest of an essay on or back: from a
    // place to the end of the sheet in reading order, every writing cell and each margin
    // cell that holds text. Laid out again, a margin cell takes the next item only when
    // `fitsMargin` accepts it; otherwise it is emptied and the item starts the next line.
    // Text that would pass the last line adds lines, so nothing is pushed off the sheet.
    // Each call announces one dataChanged over the lines from the place to the end.
    using MarginRule = bool (*)(const QString& item);
    // Opens an empty cell at the place; the stream from there moves on by one cell.
    void openStreamCell(int line, int column, MarginRule fitsMargin);
    // Removes `count` cells from the place on (a margin cell counting as one); the stream
    // after them moves back, and the cells after its new end become empty.
    void removeStreamCells(int line, int column, int count, MarginRule fitsMargin);

    // Columns 1 to 21 of every line in reading order. The copy is shared until the sheet
    // changes, so holding one to compare with later is cheap.
    const QList<QString>& storedCells() const { return cells_; }
    // Replaces `count` lines from `line` on with the lines `cells` holds (21 cells each);
    // lines are added or removed as the counts differ.
    void replaceLines(int line, int count, const QList<QString>& cells);

    // "0", "200", "400", ... on every tenth line (the writing cells above it), else empty.
    static QString counterText(int line);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void check(int line, int column, int firstColumn) const;
    qsizetype at(int line, int column) const { return qsizetype(line) * kStoredColumns + column - 1; }
    QList<QString> takeStream(qsizetype from);
    void putStream(qsizetype from, QList<QString>& items, MarginRule fitsMargin);

    int lines_ = 0;
    QList<QString> cells_;  // kStoredColumns per line
};
