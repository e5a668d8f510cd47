#pragma once

#include "CourseHandlers.h"

// The error history's addresses (docs/additions.md).
// GET /api/stats/KEY: the history of lecture KEY's student, for a correcting token of its
// teacher (that teacher's lectures only) or a token of the student themself.
HttpResponse HandleStudentStats(const CourseSite& site, const HttpRequest& req);
// GET /api/classstats/KEY: the class table of the teacher holding a correcting token of KEY.
HttpResponse HandleClassStats(const CourseSite& site, const HttpRequest& req);
// GET /stats/class.csv: the same table for the teacher signed in on the course page.
HttpResponse HandleClassStatsCsv(const CourseSite& site, const HttpRequest& req);
