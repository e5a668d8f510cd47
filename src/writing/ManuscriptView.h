#pragma once

#include <QTableView>

// The manuscript grid as the student sees it: 29-pixel cells drawn by DrawManuscriptCell,
// no headers, no grid lines, no in-place editing, a vertical scroll bar only. Column 0 (the
// line counter) never becomes the current cell by the mouse or the keys, typed letters do
// not search the cells, and the wheel moves the current cell one line, as string grids do.
class ManuscriptView : public QTableView {
    Q_OBJECT
public:
    explicit ManuscriptView(QWidget* parent);

    static constexpr int kCellSize = 29;
    static constexpr int kCounterWidth = 40;

    void keyboardSearch(const QString& search) override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
