#pragma once

#include "document/CorrectionRecord.h"

#include <QList>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// The teacher's undo and redo on the board, one history per page: a page turned away from
// keeps its history, and undo acts on the page shown. A step is one action (an item placed,
// moved, resized or deleted, the text dialog's text and points) kept as the page's marks
// before and after. Placing a number item also adds its line to the page comment, so the
// step keeps the comment before and after too; undo and redo put it back only while the
// comment still reads as the step left it, so nothing typed into it since is lost.
class BoardHistory {
public:
    // What undo or redo gives the board to show.
    struct Change {
        QList<CorrectionRecord::MarkRow> marks;
        std::optional<QString> comment;  // the page comment, when it changes too
    };

    // Page `page` is shown holding `marks`: the start of its next step.
    void Show(int page, const QList<CorrectionRecord::MarkRow>& marks);
    // The teacher changed the page shown: its marks now, and the comment around the action.
    void Record(const QList<CorrectionRecord::MarkRow>& marks, const QString& commentBefore,
                const QString& commentAfter);
    // `comment` is the page comment as it stands. Nothing when there is no step.
    std::optional<Change> Undo(const QString& comment);
    std::optional<Change> Redo(const QString& comment);
    void Clear();
    // The state of every page now is the saved one; undo and redo can come back to it.
    void MarkSaved();
    // Every page stands where it stood when last saved (or loaded).
    bool AtSaved() const;

private:
    struct Step {
        QList<CorrectionRecord::MarkRow> marksBefore;
        QList<CorrectionRecord::MarkRow> marksAfter;
        QString commentBefore;
        QString commentAfter;
    };
    struct PageSteps {
        std::vector<Step> steps;
        size_t done = 0;   // steps[0, done) are made, the rest undone
        size_t saved = 0;  // `done` at the saved state; past the end once that is out of reach
    };

    int page_ = -1;
    QList<CorrectionRecord::MarkRow> shown_;  // the page shown as its last step left it
    std::map<int, PageSteps> pages_;
};
