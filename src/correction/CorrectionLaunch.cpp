#include "correction/CorrectionLaunch.h"

CorrectionLaunch CorrectionLaunch::TeacherLaunch(const LaunchFields& fields)
{
    CorrectionLaunch launch;
    launch.teacherNo = fields.at(1);
    launch.password = fields.at(2);
    launch.hasCorrection = fields.at(3) == QLatin1String("1");
    launch.lectureKey = fields.at(4);
    launch.studentNo = fields.at(5);
    launch.essayUrl = fields.at(6);
    launch.correctionUrl = fields.at(7);
    launch.editable = fields.at(8) == QLatin1String("1");
    launch.title = fields.at(9);
    launch.reportPoint = fields.at(10);
    if (fields.count() > 11)
        launch.discussionUrl = fields.at(11);
    if (fields.count() > 12)
        launch.scoreSwitch = fields.at(12);
    if (fields.count() > 13 && IsRevision(fields.at(13)))
        launch.correctionRevision = fields.at(13);
    return launch;
}

CorrectionLaunch CorrectionLaunch::ViewLaunch(const LaunchFields& fields)
{
    CorrectionLaunch launch;
    launch.teacherNo = fields.at(1);
    launch.password = fields.at(2);
    launch.hasCorrection = fields.at(3) == QLatin1String("1");
    launch.lectureKey = fields.at(4);
    launch.essayUrl = fields.at(5);
    launch.correctionUrl = fields.at(6);
    launch.title = fields.at(7);
    launch.reportPoint = fields.at(8);
    if (fields.count() > 9)
        launch.discussionUrl = fields.at(9);
    if (fields.count() > 10)
        launch.scoreSwitch = fields.at(10);
    launch.editable = true;
    return launch;
}
