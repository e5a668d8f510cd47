#include "writing/PaperHistory.h"

#include "document/ManuscriptGrid.h"

#include <algorithm>
#include <utility>

namespace {

constexpr qsizetype kWidth = ManuscriptGrid::kStoredColumns;

bool sameLine(const QList<QString>& a, qsizetype lineA, const QList<QString>& b, qsizetype lineB)
{
    return std::equal(a.begin() + lineA * kWidth, a.begin() + (lineA + 1) * kWidth, b.begin() + lineB * kWidth);
}

bool allEmpty(const QList<QString>& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QString& text) { return text.isEmpty(); });
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
    const QList<QString> before = std::exchange(start_, {});
    const QList<QString>& after = grid_.storedCells();
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
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
}

bool PaperHistory::Holds(int line, const QList<QString>& cells) const
{
    const QList<QString>& now = grid_.storedCells();
    const qsizetype from = qsizetype(line) * kWidth;
    return from + cells.size() <= now.size() && std::equal(cells.begin(), cells.end(), now.begin() + from);
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
    done_ = 0;
    open_ = false;
    start_.clear();
}
