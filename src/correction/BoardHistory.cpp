#include "correction/BoardHistory.h"

#include <limits>

void BoardHistory::Show(int page, const QList<CorrectionRecord::MarkRow>& marks)
{
    page_ = page;
    shown_ = marks;
}

void BoardHistory::Record(const QList<CorrectionRecord::MarkRow>& marks, const QString& commentBefore,
                          const QString& commentAfter)
{
    if (marks == shown_ && commentBefore == commentAfter)
        return;
    PageSteps& page = pages_[page_];
    if (page.saved > page.done)
        page.saved = std::numeric_limits<size_t>::max();
    page.steps.resize(page.done);
    page.steps.push_back({shown_, marks, commentBefore, commentAfter});
    page.done = page.steps.size();
    shown_ = marks;
}

std::optional<BoardHistory::Change> BoardHistory::Undo(const QString& comment)
{
    PageSteps& page = pages_[page_];
    if (page.done == 0)
        return std::nullopt;
    const Step& step = page.steps[--page.done];
    shown_ = step.marksBefore;
    const bool commentChanged = step.commentBefore != step.commentAfter && comment == step.commentAfter;
    return Change{shown_, commentChanged ? std::optional(step.commentBefore) : std::nullopt};
}

std::optional<BoardHistory::Change> BoardHistory::Redo(const QString& comment)
{
    PageSteps& page = pages_[page_];
    if (page.done == page.steps.size())
        return std::nullopt;
    const Step& step = page.steps[page.done++];
    shown_ = step.marksAfter;
    const bool commentChanged = step.commentBefore != step.commentAfter && comment == step.commentBefore;
    return Change{shown_, commentChanged ? std::optional(step.commentAfter) : std::nullopt};
}

void BoardHistory::Clear()
{
    pages_.clear();
    shown_.clear();
}

void BoardHistory::MarkSaved()
{
    for (auto& [index, page] : pages_)
        page.saved = page.done;
}

bool BoardHistory::AtSaved() const
{
    for (const auto& [index, page] : pages_)
        if (page.saved != page.done)
            return false;
    return true;
}
