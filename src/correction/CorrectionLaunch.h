#pragma once

#include "core/LaunchFields.h"

#include <QString>

// The launch fields of a teacher ("T001") or viewing ("C001") run, read once at set-up. A
// field missing raises "List index out of bounds (N)" and gives no value.
struct CorrectionLaunch {
    QString teacherNo;
    QString password;
    bool hasCorrection = false;  // field 3 "1": a correction is stored
    QString lectureKey;
    QString studentNo;  // a viewing run has none
    QString essayUrl;
    QString correctionUrl;
    bool editable = false;  // field 8 "1"; a viewing run reads none and counts as editable
    QString title;
    QString reportPoint;  // the total stored with the correction
    QString discussionUrl;
    QString scoreSwitch;  // "Y" offers the scoring sheet, "N" the total box, others neither
    // Field 13 of a teacher run, from a course site that keeps revisions: the correction's
    // stored revision when the file was handed out ("0": none yet). Empty when absent.
    QString correctionRevision;

    bool KnowsRevisions() const { return !correctionRevision.isEmpty(); }

    static CorrectionLaunch TeacherLaunch(const LaunchFields& fields);
    static CorrectionLaunch ViewLaunch(const LaunchFields& fields);

    bool OffersScoreSheet() const { return scoreSwitch == QLatin1String("Y"); }
    bool OffersTotalBox() const { return scoreSwitch == QLatin1String("N"); }
};
