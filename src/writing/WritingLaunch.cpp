#include "writing/WritingLaunch.h"

#include "core/LaunchFields.h"

WritingLaunch WritingLaunch::Read(const LaunchFields& fields)
{
    WritingLaunch launch;
    launch.studentNo = fields.at(1);
    launch.password = fields.at(2);
    launch.loadExisting = fields.at(3) == QLatin1String("1");
    launch.lectureKey = fields.at(4);
    launch.essayAddress = fields.at(5);
    launch.editable = fields.at(6) == QLatin1String("1");
    launch.title = fields.at(7);
    launch.paperFixed = fields.at(8) == QLatin1String("1");
    launch.manuscriptPaper = fields.at(9) == QLatin1String("0");
    if (fields.count() > 10)
        launch.discussionAddress = fields.at(10);
    if (fields.count() > 11 && IsRevision(fields.at(11)))
        launch.essayRevision = fields.at(11);
    return launch;
}
