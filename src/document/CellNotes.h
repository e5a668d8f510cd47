#pragma once

#include <QString>

// What a checker says about the cells of a sheet, for the views to show: a hint per cell
// (the tool tip and the accessible description) and the marks to draw on it.
class CellNotes {
public:
    enum Mark { RuleMark = 1, SpellingMark = 2 };

    virtual ~CellNotes() = default;
    // Empty when the checker has nothing to say about the cell.
    virtual QString note(int line, int column) const = 0;
    // Mark flags or 0.
    virtual int marks(int line, int column) const = 0;
};
