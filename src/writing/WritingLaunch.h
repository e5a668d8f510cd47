#pragma once

#include "core/LaunchFields.h"

#include <QString>

// The launch fields 1 to 11 of a student run ("S001"), read once at set-up, as they stand;
// the discussion address (field 10) and the revision (11) only when the file has them. A field
// missing raises "List index out of bounds (N)" and gives no value.
struct WritingLaunch {
    QString studentNo;
    QString password;
    bool loadExisting = false;  // field 3 "1": the earlier essay is downloaded
    QString lectureKey;         // the run's first; a save may replace it
    QString essayAddress;
    bool editable = false;
    QString title;  // the run's first; the title box may change it
    bool paperFixed = false;
    bool manuscriptPaper = false;  // field 9 "0"
    QString discussionAddress;
    // Field 11, from a course site that keeps revisions: the essay's stored revision when
    // the file was handed out ("0": none yet). Empty when the file has none.
    QString essayRevision;

    bool KnowsRevisions() const { return !essayRevision.isEmpty(); }

    static WritingLaunch Read(const LaunchFields& fields);
};
