#pragma once

#include <QComboBox>

class ScoreSheet;

// The total box ComboBox1: shows the sheet's total in large digits. The teacher types the
// total here when the sheet is not offered: digits only, 0 to 100.
class TTotalBox : public QComboBox {
    Q_OBJECT
public:
    TTotalBox(ScoreSheet& sheet, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Backspace is dropped as well: the box only ever takes digits typed over it.
    bool ComboBox1KeyPress(const QKeyEvent& key) const;
    void ComboBox1Change(const QString& typed);

    ScoreSheet& FSheet;
};
