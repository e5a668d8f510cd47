#pragma once

#include <QWidget>

class QCheckBox;
class QShortcut;
class QTableView;
class ScoreSheet;

// The scoring sheet on screen: the grid pGrid over a ScoreSheet, with the deduction box
// CheckBox1 standing over the score cell of row 8. The captions stay in sight as the
// grid's header while the rows scroll. A suggested 원고지작성법 score shows grey in its
// empty cell until the teacher takes it with F7.
class TScoreSheetView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kDeductionLeft = 364;
    // Where the deduction box waits while row 8 is scrolled away.
    static constexpr int kOutOfSight = 500;

    TScoreSheetView(ScoreSheet& sheet, QWidget* parent);

    // Puts the deduction box over row 8's score cell, or out of sight when that cell is
    // not on screen. Runs on every scroll and resize; the set-ups call it once as well.
    void pGridTopLeftChanged();
    // No editing, no editor, no selection, and no deduction box.
    void SetReadOnly();

    QTableView* pGrid;
    QCheckBox* CheckBox1;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CheckBox1Click(bool checked);
    // F7: the suggested 원고지작성법 score into its empty cell, which comes into sight.
    void AcceptSuggestion();

    QShortcut* FAccept;
    ScoreSheet& FSheet;
};
