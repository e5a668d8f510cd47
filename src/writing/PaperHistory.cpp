#include "writing/PaperHistory.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

namespace {

using Cell = ManuscriptGrid::Cell;
using Cells = QList<Cell>;
static_assert(std::is_trivially_copyable_v<Cell> && sizeof(Cell) == 8, "cells compare as memory");

constexpr qsizetype kWidth = ManuscriptGrid::kStoredColumns;

bool sameCells(const Cell* a, const Cell* b, qsizetype count)
{
    return std::memcmp(a, b, size_t(count) * sizeof(Cell)) == 0;
}

bool sameLine(const Cells& a, qsizetype lineA, const Cells& b, qsizetype lineB)
{
    return sameCells(a.constData() + lineA * kWidth, b.constData() + lineB * kWidth, kWidth);
}

bool allEmpty(const Cells& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const Cell& cell) { return cell.size == 0; });
}

}

PaperHistory::PaperHistory(ManuscriptGrid& grid) : grid_(grid)
{
    resetWatch_ = QObject::connect(&grid_, &QAbstractItemModel::modelReset, [this] { Clear(); });
}

PaperHistory::~PaperHistory()
{
    QObject::disconnect(resetWatch_);
}

void PaperHistory::Begin(CellPos caret)
{
    if (open_)
        return;
    open_ = true;
    start_ = grid_.storedCells();
    startCaret_ = caret;
}

void PaperHistory::End(CellPos caret)
{
    Finish(caret, true);
}

void PaperHistory::EndMove(CellPos caret)
{
    Finish(caret, false);
}

void PaperHistory::Finish(CellPos caret, bool growthIsStep)
{
    if (!open_)
        return;
    open_ = false;
    const Cells before = std::exchange(start_, {});
    const Cells& after = grid_.storedCells();
    // The sheet still shares its cells with the copy taken at the start: nothing was written.
    if (before.isSharedWith(after))
        return;
    const qsizetype linesBefore = before.size() / kWidth;
    const qsizetype linesAfter = after.size() / kWidth;
    qsizetype first = 0;
    while (first < linesBefore && first < linesAfter && sameLine(before, first, after, first))
        ++first;
    if (first == linesBefore && first == linesAfter)
        return;
    qsizetype last = 0;  // equal lines at the end
    while (last < linesBefore - first && last < linesAfter - first
           && sameLine(before, linesBefore - 1 - last, after, linesAfter - 1 - last))
        ++last;
    Step step{int(first), before.mid(first * kWidth, (linesBefore - last - first) * kWidth),
              after.mid(first * kWidth, (linesAfter - last - first) * kWidth), startCaret_, caret};
    if (!growthIsStep && first == linesBefore && allEmpty(step.after))
        return;
    DropSteps(done_, steps_.size());
    keptBytes_ += Bytes(step);
    steps_.push_back(std::move(step));
    size_t oldest = 0;
    for (qsizetype bytes = keptBytes_; bytes > kKeptBytes && oldest + 1 < steps_.size(); ++oldest)
        bytes -= Bytes(steps_[oldest]);
    DropSteps(0, oldest);
    done_ = steps_.size();
}

qsizetype PaperHistory::Bytes(const Step& step)
{
    return (step.before.size() + step.after.size()) * qsizetype(sizeof(Cell));
}

void PaperHistory::DropSteps(size_t first, size_t last)
{
    for (size_t i = first; i < last; ++i)
        keptBytes_ -= Bytes(steps_[i]);
    steps_.erase(steps_.begin() + qsizetype(first), steps_.begin() + qsizetype(last));
}

bool PaperHistory::Holds(int line, const Cells& cells) const
{
    const Cells& now = grid_.storedCells();
    const qsizetype from = qsizetype(line) * kWidth;
    return from + cells.size() <= now.size() && sameCells(cells.constData(), now.constData() + from, cells.size());
}

std::optional<CellPos> PaperHistory::Undo()
{
    if (done_ == 0)
        return std::nullopt;
    const Step& step = steps_[done_ - 1];
    if (!Holds(step.line, step.after)) {
        Clear();
        return std::nullopt;
    }
    grid_.replaceLines(step.line, int(step.after.size() / kWidth), step.before);
    --done_;
    return step.caretBefore;
}

std::optional<CellPos> PaperHistory::Redo()
{
    if (done_ == steps_.size())
        return std::nullopt;
    const Step& step = steps_[done_];
    if (!Holds(step.line, step.before)) {
        Clear();
        return std::nullopt;
    }
    grid_.replaceLines(step.line, int(step.before.size() / kWidth), step.after);
    ++done_;
    return step.caretAfter;
}

void PaperHistory::Clear()
{
    steps_.clear();
    keptBytes_ = 0;
    done_ = 0;
    open_ = false;
    start_.clear();
}
