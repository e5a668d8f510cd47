#pragma once

#include "CourseStore.h"

#include <string>

// The error history's part of the course page (an HTML section): a student's own history as
// a table, one row per corrected essay in the order they were corrected, a column per kind
// of mark that occurs, with a bar for each essay's total; for a teacher the link to the
// class table (CSV).
std::string ErrorStatsSection(CourseStore& store, const User& user);
