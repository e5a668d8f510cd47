#pragma once

#include "document/CellNotes.h"

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
    // data() of a cell in this role: the CellNotes marks on it.
    static constexpr int kMarksRole = Qt::UserRole;

    // A stored cell: the text's UTF-16 units in place when there are at most three, which is
    // all that typing makes, else the index of the text in the sheet's table of longer ones.
    // Plain bytes, so that a sheet is copied and compared as memory.
    struct Cell {
        static constexpr quint16 kLong = 0xFFFF;
        char16_t units[3] = {0, 0, 0};
        quint16 size = 0;  // kLong: units[0] and units[1] hold the table index
    };

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
    // changes, so holding one to compare with later is cheap; it stays meaningful to this
    // sheet until the sheet is reset.
    const QList<Cell>& storedCells() const { return cells_; }
    // Replaces `count` lines from `line` on with the lines `cells` holds (21 cells each),
    // cells taken from storedCells() since the last reset; lines are added or removed as
    // the counts differ.
    void replaceLines(int line, int count, const QList<Cell>& cells);

    // The length of the text of columns 1 to 20 in reading order, a blank cell read as one
    // space, without the blanks and control characters at either end. Kept as cells change,
    // so reading it costs only the blank cells at the ends.
    qsizetype writingTextLength() const;

    // What a checker says about the cells: their tool tip, accessible description and marks.
    // Not owned; null for none. Views are not told: the checker asks them to repaint.
    void setNotes(const CellNotes* notes) { notes_ = notes; }

    // "0", "200", "400", ... on every tenth line (the writing cells above it), else empty.
    static QString counterText(int line);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A line's reading ("3줄: 가을 하늘"), the row's description to assistive technology.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The cells of columns 1 to 21 as one text, a blank cell a space, without the blanks
    // after the last written cell.
    QString lineText(int line) const;

private:
    void check(int line, int column, int firstColumn) const;
    QString lineReading(int line) const;
    qsizetype at(int line, int column) const { return qsizetype(line) * kStoredColumns + column - 1; }
    Cell pack(const QString& text);
    QStringView view(const Cell& cell) const;
    bool hasText(const Cell& cell) const;
    // A writing cell's share of writingTextLength() before trimming: a blank cell reads as one.
    qsizetype writingUnits(const Cell& cell) const
    {
        return std::max<qsizetype>(1, cell.size == Cell::kLong ? view(cell).size() : cell.size);
    }
    void store(qsizetype position, const Cell& cell);
    void addLines(qsizetype line, qsizetype count);
    void moveStream(qsizetype readFrom, qsizetype writeFrom, MarginRule fitsMargin);

    int lines_ = 0;
    QList<Cell> cells_;           // kStoredColumns per line
    QList<QString> longTexts_;    // texts of more than three units; only reset() empties it
    qsizetype writingUnits_ = 0;  // the untrimmed length of writingTextLength()'s text
    const CellNotes* notes_ = nullptr;
};
