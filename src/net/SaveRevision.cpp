#include "net/SaveRevision.h"

void SaveRevision::start(const QString& launchRevision)
{
    launch_ = launchRevision;
    base_ = launchRevision;
    unanswered_.reset();
}

void SaveRevision::fetched(const QString& revision)
{
    if (!revision.isEmpty())
        base_ = revision;
}

bool SaveRevision::newerThanLaunch() const
{
    return !launch_.isEmpty() && !base_.isEmpty() && base_.toLongLong() > launch_.toLongLong();
}

void SaveRevision::accepted(const QString& revision)
{
    // A site that stopped naming revisions cannot be told a base it would understand.
    base_ = revision;
    unanswered_.reset();
}

void SaveRevision::unanswered(const UploadForm& form)
{
    if (!base_.isEmpty())
        unanswered_ = form;
}
