#pragma once

#include <QAbstractTableModel>
#include <QStringList>

// The scoring sheet's cells (3 columns, 9 rows), the length deduction and the total, and
// the rules that tie them: five typed scores with fixed maxima, two subtotals (content
// 70, form 30), a 20-point deduction, a total from 0 to 100. What the teacher must be told
// goes out as `message`; the frame shows it.
//
//   row 0 captions, 1 content subtotal (2 + 3), 2 focus (0..50), 3 review (0..20),
//   4 form subtotal (5 + 6 + 7), 5..7 form scores (0..10 each), 8 the deduction
//
// Only the score column of rows 2, 3, 5, 6 and 7 is editable; the rest is written by the
// sheet itself.
class ScoreSheet : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kRows = 9;
    static constexpr int kColumns = 3;
    static constexpr int kScoreColumn = 2;
    static constexpr int kManuscriptRow = 5;
    static constexpr int kDeductionRow = 8;
    static constexpr int kDeduction = 20;
    static constexpr int kMaxTotal = 100;

    // The suggested score of a cell, as text, while the cell is empty.
    static constexpr int SuggestionRole = Qt::UserRole;

    explicit ScoreSheet(QObject* parent = nullptr);

    // Column 0 or 1, or row 0: captions.
    static bool isFixed(int row, int column);
    // Rows 2, 3, 5, 6 and 7: the scores the teacher types.
    static bool isTypedScore(int row);
    // 50, 20 or 10 for a typed score row.
    static int maximum(int row);
    // "초점: 0 부터 50 이하의 값만 들어갈수 있습니다." for row 2: the range, named by its row.
    static QString rangeMessage(int row);
    // "초점" for row 2: the caption without its number.
    static QString rowName(int row);
    // Empty, or a whole number from 0 to the row's maximum written in digits.
    static bool isValidScore(int row, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The horizontal header repeats row 0, so a view can keep the captions in sight.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Text typed into a cell; a text equal to the cell's changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QString text(int row, int column) const;

    // The editor's text of a cell changed. Only typed score cells count: the cell takes
    // the text, an invalid one shows the row's range message, and the totals follow.
    // While any score is invalid the total and the subtotal over it are empty, never a
    // sum that differs from the cells (totalValid() is false).
    void setEditText(int row, int column, const QString& text);

    bool deduction() const { return deduction_; }
    // The deduction box changed: recomputes as if row 2 had been edited. A value equal to
    // the current one changes nothing.
    void setDeduction(bool checked);

    QString total() const { return total_; }
    // The first typed score row holding an invalid text, or -1.
    int invalidRow() const;
    bool totalValid() const { return invalidRow() < 0; }
    // Written by code (the launch value): no check.
    void setTotal(const QString& text);
    // Typed into the total box: outside 0 to 100 shows a message and leaves "100".
    void typeTotal(const QString& text);

    // p1 to p7 of the summary row: the score column of rows 1 to 7 as shown.
    QStringList points() const;
    // Writes the score column directly, without checks, then sets the deduction (which
    // recomputes the total when it changes the box).
    void load(const QStringList& points, bool deduction);

    // The 원고지작성법 score the essay's findings suggest ("원고지 규칙 2건" as the reason), or
    // none for a negative score. While the row's cell is empty it shows as a hint, on hover
    // and to a screen reader; it never fills the cell by itself.
    void suggestManuscriptScore(int score, const QString& reason);
    // The teacher takes the suggestion: it goes into the empty cell as if typed. False when
    // there is none or the cell holds a score already.
    bool acceptSuggestion();

    // Raises the range message of the first typed score that is not valid, so an
    // impossible score is never saved.
    void validateScores() const;

signals:
    // A score or the total was typed: the teacher's work changed.
    void edited();
    void totalChanged(const QString& text);
    void deductionChanged(bool checked);
    // A typed value was refused or corrected: the text to show the teacher.
    void message(const QString& text);

private:
    void setCell(int row, int column, const QString& text);
    int score(int row) const;
    void recompute();
    void writeTotal(const QString& text);

    bool showsSuggestion(const QModelIndex& index) const;
    QString suggestionText() const;

    QString cells_[kRows][kColumns];
    int suggested_ = -1;
    QString suggestedFor_;
    bool deduction_ = false;
    QString total_;
};
