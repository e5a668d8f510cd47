#pragma once

#include <QLineEdit>

class ScoreSheet;

// The total box ComboBox1: shows the sheet's total in large digits, read-only but in reach of
// the keyboard and a screen reader. The teacher types the total here when the sheet is not
// offered: digits only, 0 to 100. While a score of the sheet is wrong it shows "?" in red
// and says which row is wrong.
class TTotalBox : public QLineEdit {
    Q_OBJECT
public:
    TTotalBox(ScoreSheet& sheet, QWidget* parent);

    // The total is typed here (the launch offers no sheet), or only shown.
    void SetTyped(bool typed);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Backspace is dropped as well: the box only ever takes digits typed over it.
    bool ComboBox1KeyPress(const QKeyEvent& key) const;
    void ComboBox1Change(const QString& typed);
    void showTotal();

    ScoreSheet& FSheet;
};
