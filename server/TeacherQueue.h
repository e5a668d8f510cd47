#pragma once

#include "CourseHandlers.h"

#include <string>
#include <vector>

// A teacher's queue: the essays waiting for correction, in the order the course page lists
// the lectures (the order they were opened in), so it stays put while the teacher works
// through it. With `all`, every lecture that has an essay. The lecture `key` keeps its place
// in any state, so the essay just corrected still counts where it stood.
std::vector<Lecture> TeacherQueue(const std::vector<Lecture>& lectures, bool all, const std::string& key = {});

// GET /api/queue/KEY[?all=1]: where KEY stands in its teacher's queue.
HttpResponse HandleQueue(const CourseSite& site, const HttpRequest& req);
// POST /api/queue/KEY {"to": "previous" | "next", "all": bool}: the correcting launch file
// of the neighbour, with a fresh token for it.
HttpResponse HandleQueueMove(const CourseSite& site, const HttpRequest& req);

// The teacher's queue on the course page: "첨삭할 답안 N편", the next one to open first.
std::string QueueSection(const std::vector<Lecture>& lectures);
