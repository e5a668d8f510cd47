#pragma once

#include "writing/CellEditorHost.h"

#include "document/ManuscriptGrid.h"

#include <QList>
#include <QMetaObject>

#include <deque>
#include <optional>

// The manuscript's undo and redo. The cell editor brackets each action of the student with
// Begin and End; what the action changed becomes one step: the lines it changed as they were
// and as they became, and the caret before and after. Only the changed lines are kept, so a
// step at the end of a long essay is small; cells are kept as the sheet stores them, so that
// taking, comparing and keeping lines is copying memory. The oldest steps go once the steps
// hold more than kKeptBytes. Showing an essay (a reset sheet) starts afresh,
// and a step whose lines no longer match the sheet ends the history instead of being applied,
// so undo never writes over text it did not make.
class PaperHistory {
public:
    // Several hundred syllables typed at the start of a full essay of 1,000 lines; thousands
    // in an essay of the course's length.
    static constexpr qsizetype kKeptBytes = 64 * 1024 * 1024;

    explicit PaperHistory(ManuscriptGrid& grid);
    ~PaperHistory();
    PaperHistory(const PaperHistory&) = delete;
    PaperHistory& operator=(const PaperHistory&) = delete;

    // Starts an action unless one is open: the sheet and the caret as they stand are its start.
    void Begin(CellPos caret);
    // Ends the open action; a changed sheet becomes a step, and the steps undone are dropped.
    void End(CellPos caret);
    // Ends an action of caret keys: lines they only added after the last one are no step.
    void EndMove(CellPos caret);
    bool Open() const { return open_; }

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // Put the last step back or make it again; give the caret to show, or nothing when there
    // is no step or the sheet no longer holds what the step left.
    std::optional<CellPos> Undo();
    std::optional<CellPos> Redo();
    void Clear();

private:
    struct Step {
        int line = 0;
        QList<ManuscriptGrid::Cell> before;  // 21 cells per line
        QList<ManuscriptGrid::Cell> after;
        CellPos caretBefore;
        CellPos caretAfter;
    };

    void Finish(CellPos caret, bool growthIsStep);
    void DropSteps(size_t first, size_t last);
    static qsizetype Bytes(const Step& step);
    bool Holds(int line, const QList<ManuscriptGrid::Cell>& cells) const;

    ManuscriptGrid& grid_;
    QMetaObject::Connection resetWatch_;
    std::deque<Step> steps_;
    size_t done_ = 0;  // steps_[0, done_) are made, the rest undone
    qsizetype keptBytes_ = 0;
    bool open_ = false;
    QList<ManuscriptGrid::Cell> start_;
    CellPos startCaret_;
};
