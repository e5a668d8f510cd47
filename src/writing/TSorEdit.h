#pragma once

#include "writing/CellEditorEngine.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>

#include <memory>

class QTableView;

// The cell editor: a small edit box the writing frame keeps over the manuscript grid's
// current cell. Key presses and input-method updates go to the cell editor engine, which
// writes the grid's cells and moves its current cell; the box itself shows the cell's text
// and the syllable being composed. Key presses never reach the edit box's own handling, so
// it has no caret keys, shortcuts or paste of its own; Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo
// and redo the engine's steps.
class TSorEdit : public QLineEdit, private CellEditorHost {
    Q_OBJECT
    Q_PROPERTY(QTableView* grid READ grid WRITE setGrid)
public:
    explicit TSorEdit(QWidget* parent);
    ~TSorEdit() override;

    // A view over a ManuscriptGrid; the editor follows its current cell.
    QTableView* grid() const { return grid_; }
    void setGrid(QTableView* grid);
    // Null until a grid is set.
    CellEditorEngine* engine() const { return engine_.get(); }

    // Shows a text in the box, its caret after it. Unlike setText() this leaves a running
    // composition alone: setText() makes the input method drop or repeat the syllable.
    void setCellText(const QString& text);
    // The box's size over one cell; a pre-edit of several syllables widens it to the right.
    void setCellSize(QSize size);

    // Input methods are told the text before the caret that a replacement counts back through.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // Kept for hosts that bind them; the editor raises neither.
    void OnIMEOk(bool Ansi);
    void OnNext();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPreedit(const QString& preedit, const QList<QInputMethodEvent::Attribute>& attributes = {});

    CellPos caret() const override;
    void setCaretColumn(int column) override;
    void setCaretLine(int line) override;
    void pageCaret(bool down) override;
    QString editText() const override;
    void setEditText(const QString& text) override;
    void selectEditText() override;
    bool editHasSelection() const override;
    int editCursor() const override;
    void editInsert(const QString& text) override;
    void editBackspace() override;
    void focusEdit() override;
    void beep() override;

    QPointer<QTableView> grid_;
    QSize cellSize_;
    std::unique_ptr<CellEditorEngine> engine_;
};
