#pragma once

#include <QString>

// A place on the manuscript sheet: line from 0, column 0 to 21.
struct CellPos {
    int line = 0;
    int column = 0;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// What the cell editor needs around it: the grid's current cell (the caret) and the small
// edit box lying over it. The cell editor widget provides it over its view; tests provide
// a plain one.
class CellEditorHost {
public:
    virtual ~CellEditorHost() = default;

    virtual CellPos caret() const = 0;
    // Each change of the current cell runs the host's selection duty before it returns:
    // the edit box moves over the new cell and shows its text, selected.
    virtual void setCaretColumn(int column) = 0;
    virtual void setCaretLine(int line) = 0;
    // The grid moves its current cell by one page, as grids do for Page Up and Page Down.
    virtual void pageCaret(bool down) = 0;

    virtual QString editText() const = 0;
    // The edit box's text, its caret after it and nothing selected.
    virtual void setEditText(const QString& text) = 0;
    // The whole text selected, as on arriving at a cell: what is typed next replaces it.
    virtual void selectEditText() = 0;
    virtual bool editHasSelection() const = 0;
    virtual int editCursor() const = 0;
    // What the edit box itself does with a typed character: it replaces the selection.
    virtual void editInsert(const QString& text) = 0;
    // What the edit box itself does with Backspace: the character before its caret goes.
    virtual void editBackspace() = 0;
    virtual void focusEdit() = 0;
    // Typing refused.
    virtual void beep() = 0;
};
