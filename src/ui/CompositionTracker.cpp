#include "ui/CompositionTracker.h"

bool CompositionTracker::Update(const QString& commit, const QString& preedit)
{
    const bool repeat = !commit.isEmpty() && commit == repeat_;
    if (!commit.isEmpty() || !preedit.isEmpty()) {
        repeat_.clear();
        settled_.clear();
    }
    if (!commit.isEmpty() && !repeat) {
        if (commit == composed_)
            settled_ = commit;
        composed_.clear();
    }
    if (!preedit.isEmpty())
        composed_ = preedit;
    preedit_ = preedit;
    return !repeat;
}

void CompositionTracker::KeyPressed()
{
    settled_.clear();
    repeat_.clear();
}

void CompositionTracker::Committed()
{
    repeat_ = settled_;
}
