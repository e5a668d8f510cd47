#pragma once

#include "writing/CellEditorHost.h"

#include <QList>
#include <QString>

class SheetSnapshot;

// The common rule breaks of writing on manuscript paper, found in a sheet's cells
// (docs/writing.md has the rules with an example each). Findings are hints: nothing here
// changes a cell.
namespace ManuscriptRules {

enum class Rule {
    ParagraphIndent,   // a paragraph's first cell holds text
    LineStartBlank,    // a line that goes on with its sentence starts with a blank cell
    BlankAfterStop,    // a blank cell after a full stop or comma, before more text
    NoBlankAfterMark,  // a question or exclamation mark followed at once by text
    MarkAtLineStart,   // a closing mark in a line's first cell
    HalfWidthPairs,    // a digit or lower-case letter alone in a cell while more follow
    CapitalAlone,      // a capital letter sharing its cell
};

struct Finding {
    CellPos cell;
    Rule rule;
    friend bool operator==(const Finding&, const Finding&) = default;
};

// In reading order, at most one finding per cell.
QList<Finding> Check(const SheetSnapshot& sheet);

// "원고지: 문단 첫 칸은 비웁니다" and the like.
QString Hint(Rule rule);

}
