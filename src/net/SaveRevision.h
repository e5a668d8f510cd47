#pragma once

#include "net/UploadForm.h"

#include <QString>

#include <optional>

// What a run's saves build on (docs/server.md "Revisions"): the stored revision of the
// record the run started from, and a save of the run whose answer never came.
//
// Such a save may have been stored, as a revision the run never heard of; its next save
// would then be refused as replacing work the run never saw. So it goes again, unchanged,
// before the next save: a record sent again byte for byte is accepted whatever its base,
// and the answer names the revision the next save builds on.
class SaveRevision {
public:
    // The revision the launch file names; empty from a course site that keeps none.
    void start(const QString& launchRevision);
    // A download named the stored record's revision.
    void fetched(const QString& revision);
    // The record shown was stored after the launch file was handed out.
    bool newerThanLaunch() const;
    // Sent with each save; empty when the course site names none.
    const QString& base() const { return base_; }

    // An accepted save: what the server says it stored is the next base.
    void accepted(const QString& revision);
    // A save sent with a base whose answer never came (a site without revisions needs none).
    void unanswered(const UploadForm& form);
    // That save, to be sent again before the next one.
    const std::optional<UploadForm>& unansweredSave() const { return unanswered_; }

private:
    QString launch_;
    QString base_;
    std::optional<UploadForm> unanswered_;
};
